// The settings file: any bytes read; a value written is read back as written,
// and everything else in the file keeps reading as it did.
#include "app/IniFile.h"
#include "fuzz/FuzzInput.h"
#include "platform/Errors.h"
#include "platform/TextCase.h"
#include "platform/substitute/SubstitutePlatform.h"

using namespace cv;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto parts = fuzz::Parts(data, size);
    TSubstitutePlatform sub;
    sub.Files.AddFile("C:\\qxuninstaller.ini", parts[0]);
    const std::string section = parts.size() > 1 ? parts[1] : "Main Form";
    const std::string key = parts.size() > 2 ? parts[2] : "WindowLeft";
    const TIniFile before(sub.Platform, "C:\\qxuninstaller.ini");
    const int number = before.ReadInteger(section, key, 7);
    const std::string other = before.ReadString("Clearvane", "ViewStyle", "?");
    int parsed = 0;
    fuzz::Check(ParseIniInteger(std::to_string(number), &parsed) && parsed == number);

    TIniFile writer(sub.Platform, "C:\\qxuninstaller.ini");
    writer.WriteInteger(section, key, 12345);
    writer.UpdateFile();
    const TIniFile after(sub.Platform, "C:\\qxuninstaller.ini");
    // Names with line breaks, "=", "]" or surrounding blanks cannot be written
    // so that they read back; every other name must.
    const bool plain =
        section.find_first_of("\r\n]") == std::string::npos &&
        key.find_first_of("\r\n=") == std::string::npos && !key.empty() && key[0] != ';' && key[0] != '[' &&
        key.find_first_not_of(" \t") == 0 && key.find_last_not_of(" \t") == key.size() - 1 &&
        (section.empty() ||
         (section.find_first_not_of(" \t") == 0 && section.find_last_not_of(" \t") == section.size() - 1));
    if (plain) {
        fuzz::Check(after.ReadInteger(section, key, 0) == 12345);
        if (!SameText(section, "Clearvane") || !SameText(key, "ViewStyle")) {
            fuzz::Check(after.ReadString("Clearvane", "ViewStyle", "?") == other);
        }
    }
    return 0;
}
