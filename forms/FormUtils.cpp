#include "forms/FormUtils.h"

namespace cv {

void CopyMenuItem(const TMenuItem& source, TMenuItem& destination) {
    destination.SetCaption(source.Caption());
    destination.OnClick = source.OnClick;
    destination.OnClickSender = source.OnClickSender;
    destination.Tag = source.Tag;
    destination.SetVisible(source.Visible());
}

} // namespace cv
