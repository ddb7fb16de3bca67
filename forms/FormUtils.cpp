#include "forms/FormUtils.h"

namespace cv {

void CopyMenuItem(const TMenuItem& source, TMenuItem& destination) {
    destination.SetCaption(source.Caption());
    destination.OnClick = source.OnClick;
    destination.Tag = source.Tag;
    destination.SetVisible(source.Visible());
}

} // namespace cv
