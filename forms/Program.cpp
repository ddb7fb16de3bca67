#include "forms/Program.h"

#include "forms/Elevation.h"

namespace cv {

TProgram StartProgram(const TPlatform& platform, const TStartOptions& options, const TQuickEntry& quickEntry,
                      TPageFactory uninstallerPage, TPageFactory startupPage) {
    TProgram program;
    TApplication::Instance().Title = "Clearvane 2003 V3";
    OfferAdministratorRestartOnRefusals(platform);
    // The splash picture is looked up in the current directory; no picture, no splash.
    if (platform.Files.FileExists(kSplashFile)) {
        program.Splash = std::make_unique<TSplashForm>([] {
            const auto* main = dynamic_cast<const TMainForm*>(TForm::MainForm);
            return main != nullptr && main->UninstallerForm != nullptr;
        });
        if (program.Splash->LoadPicture(platform.Files.FullPathName(kSplashFile))) {
            program.Splash->Show();
            TApplication::Instance().ProcessMessages();
        } else {
            program.Splash.reset();
        }
    }
    program.Main = std::make_unique<TMainForm>(platform, std::move(uninstallerPage), std::move(startupPage));
    TForm::MainForm = program.Main.get();
    program.Main->SetStartPage(options.Page);
    if (!options.File.empty() && quickEntry && quickEntry(options.File) == kQuickEntryDone) {
        program.Main.reset(); // never shown: the stored placement stays as it was
    }
    return program;
}

int RunProgram(TProgram& program) {
    if (!program.Main) {
        return 0;
    }
    program.Main->Show();
    return TApplication::Instance().Run();
}

} // namespace cv
