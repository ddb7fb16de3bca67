#include "forms/Elevation.h"

#include "app/StartOptions.h"
#include "forms/DialogForms.h"
#include "forms/MainForm.h"
#include "platform/Errors.h"

namespace cv {

void OfferAdministratorRestartOnRefusals(const TPlatform& platform) {
    TApplication::Instance().ExceptionFilter = [&platform](const std::exception& error) {
        if (dynamic_cast<const ERightsError*>(&error) == nullptr || platform.Shell.IsAdministrator()) {
            return false; // an administrator refused is told the plain error
        }
        OfferAdministratorRestart(platform, error.what());
        return true;
    };
}

void OfferAdministratorRestart(const TPlatform& platform, const std::string& message) {
    if (WarnDialog(message + "\r\n\r\nStart Clearvane again as administrator, on this page?") != mrYes) {
        return;
    }
    auto* main = dynamic_cast<TMainForm*>(TForm::MainForm);
    const int page = main != nullptr ? main->PageControl1.ActivePageIndex() : 0;
    if (!RestartAsAdministrator(platform, page, GetCurrentProcessId())) {
        InfoDialog("Warning:", "Clearvane was not started as administrator. Nothing was changed.", false);
        return;
    }
    // Closed from the message loop, once the handler that met the refusal
    // has returned: the pages close while nothing of theirs runs.
    if (main != nullptr && main->HandleAllocated()) {
        PostMessageW(main->Handle(), WM_CLOSE, 0, 0);
    } else {
        TApplication::Instance().Terminate();
    }
}

} // namespace cv
