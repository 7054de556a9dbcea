// user.dat as found on disk: any content must parse without harm, and what the program writes back reads
// back as the same values.
#include "settings/settings.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const veldor::SettingsRead read =
        veldor::ParseSettings(std::string_view(reinterpret_cast<const char*>(data), size));
    veldor::Settings settings;
    veldor::ApplySettingsRead(read, settings);
    const veldor::SettingsRead again = veldor::ParseSettings(veldor::SerializeSettings(settings));
    veldor::Settings back;
    veldor::ApplySettingsRead(again, back);
    if (again.failed || back.CurLab != settings.CurLab || back.CellSize != settings.CellSize ||
        back.AutoLogin != settings.AutoLogin || back.PassDoors != settings.PassDoors ||
        back.PlaySounds != settings.PlaySounds || back.HidePanels != settings.HidePanels ||
        back.StoredPassword.size() != settings.StoredPassword.size())
        std::abort();
    return 0;
}
