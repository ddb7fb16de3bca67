#include "forms/SplashForm.h"

namespace cv {

TSplashForm::TSplashForm(std::function<bool()> ready)
    : TForm("SplashForm", nullptr, TBorderStyle::bsNone), Image1(Make<TImage>(this, "Image1")),
      FReady(std::move(ready)) {
    SetWindowLongPtrW(Handle(), GWL_EXSTYLE, GetWindowLongPtrW(Handle(), GWL_EXSTYLE) | WS_EX_TOPMOST);
    Image1.SetBounds(0, 0, 487, 382);
    SetClientSize(Image1.Width(), Image1.Height());
    Timer1.OnTimer = [this] {
        if (FReady && FReady()) {
            Timer1.SetEnabled(false);
            Close();
        }
    };
}

bool TSplashForm::LoadPicture(const std::string& path) {
    if (!Image1.LoadBitmapFile(path)) {
        return false;
    }
    SetWindowPos(Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    CenterOn(nullptr);
    return true;
}

} // namespace cv
