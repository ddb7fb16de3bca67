#include "forms/AboutForm.h"

#include "inventory/FileInfo.h"

namespace cv {

TAboutForm::TAboutForm(const TPlatform& platform)
    : TForm("AboutForm", nullptr, TBorderStyle::bsDialog), Panel2(Make<TPanel>(this, "Panel2")),
      Panel1(Make<TPanel>(&Panel2, "Panel1")), AlphaImage1(Make<TAlphaImage>(&Panel1, "AlphaImage1")),
      Label1(Make<TLabel>(&Panel1, "Label1", "Clearvane 2003")),
      lblVersion(Make<TLabel>(&Panel1, "lblVersion")), Bevel1(Make<TBevel>(&Panel2, "Bevel1")),
      Button1(Make<TAlphaButton>(&Panel2, "Button1", "&OK")), FPlatform(platform) {
    SetCaption("About");
    CenterOnMainForm = true;
    SetClientSize(318, 132);
    Panel2.SetBevelOuter(TBevelCut::bvNone);
    Panel2.SetAlign(TAlign::alClient);
    Panel1.SetBevelOuter(TBevelCut::bvNone);
    Panel1.SetColor(clWindow);
    Panel1.SetSize(Panel1.Width(), 89);
    Panel1.SetAlign(TAlign::alTop);

    AlphaImage1.SetBounds(8, 8, 48, 48);
    AlphaImage1.SetGlyphResource(L"LOGO");
    Label1.SetFont({"Arial", 19, false, false, clWindowText});
    Label1.SetBounds(72, 14, Label1.Width(), Label1.Height());
    lblVersion.SetBounds(74, 46, lblVersion.Width(), lblVersion.Height());

    Bevel1.Shape = TBevelShape::bsTopLine;
    Bevel1.SetBounds(0, 89, 318, 2);
    Button1.SetBounds(120, 100, 75, 25);
    Button1.SetGlyphResource(L"BUTTON_OK");
    Button1.OnClick = [this] { SetModalResult(mrOk); };
    Timer1.OnTimer = [this] { Tick(); };
    OnKeyDown = [this](WORD& key) {
        if (key == VK_ESCAPE) {
            SetModalResult(mrCancel);
            key = 0;
        }
    };
}

void TAboutForm::DoShow() {
    if (!FirstShow) {
        return;
    }
    AlphaImage1.SetAlpha(static_cast<std::uint8_t>(AlphaLevel));
    // The picture rests a moment before it starts to fade: a longer first
    // interval, not a wait that would handle messages inside this handler.
    Timer1.SetInterval(kFadeInterval + kRestBeforeFade);
    Timer1.SetEnabled(true);
    FirstShow = false;
    const TFileVersionInfo info = TFileInfo(FPlatform, FPlatform.Shell.ProgramPath()).GetVersionInfo();
    lblVersion.SetCaption("Version " + info.FileVersion);
}

void TAboutForm::Tick() {
    if (Timer1.Interval() != kFadeInterval) {
        Timer1.SetInterval(kFadeInterval);
    }
    if (AlphaLevel <= 0) {
        AlphaStep = 1;
    } else if (AlphaLevel > 254) {
        AlphaStep = -1;
    }
    AlphaLevel += 15 * AlphaStep;
    AlphaImage1.SetAlpha(static_cast<std::uint8_t>(std::clamp(AlphaLevel, 0, 255)));
}

void ShowAbout(const TPlatform& platform) {
    TAboutForm about(platform);
    about.FirstShow = true;
    about.AlphaStep = -1;
    about.AlphaLevel = 0;
    about.ShowModal();
}

} // namespace cv
