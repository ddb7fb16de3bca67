// The splash window: a picture shown while the program starts, closed by
// itself once the main window's first page exists.
#pragma once

#include "toolkit/Form.h"
#include "toolkit/StdControls.h"
#include "toolkit/Timer.h"

namespace cv {

inline constexpr const char* kSplashFile = "CV.bmp";

class TSplashForm : public TForm {
public:
    // ready() says when the splash may go.
    explicit TSplashForm(std::function<bool()> ready);
    std::string ClassName() const override { return "TSplashForm"; }
    // Loads the picture; false when it cannot be read.
    bool LoadPicture(const std::string& path);

    TImage& Image1;
    TTimer Timer1{100};

private:
    std::function<bool()> FReady;
};

} // namespace cv
