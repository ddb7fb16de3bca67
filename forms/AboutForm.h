// The about box: the logo fading in and out, the product name and the
// program's own file version.
#pragma once

#include "platform/Platform.h"
#include "toolkit/Form.h"
#include "toolkit/StdControls.h"
#include "toolkit/Timer.h"
#include "widgets/AlphaButton.h"
#include "widgets/AlphaImage.h"

namespace cv {

class TAboutForm : public TForm {
public:
    explicit TAboutForm(const TPlatform& platform);
    std::string ClassName() const override { return "TAboutForm"; }

    TPanel& Panel2;
    TPanel& Panel1;
    TAlphaImage& AlphaImage1;
    TLabel& Label1;
    TLabel& lblVersion;
    TBevel& Bevel1;
    TAlphaButton& Button1;
    static constexpr unsigned kFadeInterval = 100;
    static constexpr unsigned kRestBeforeFade = 200;
    TTimer Timer1{kFadeInterval, false};

    bool FirstShow = true;
    int AlphaStep = -1;
    int AlphaLevel = 0;

protected:
    void DoShow() override;

private:
    void Tick();
    const TPlatform& FPlatform;
};

void ShowAbout(const TPlatform& platform);

} // namespace cv
