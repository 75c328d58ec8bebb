#include "settings/SettingsFile.h"

#include <cstdlib>

namespace
{

PersistedSettings Filled(int32_t number, uint8_t flag, const char* digest)
{
    PersistedSettings record;
    record.windowLeft = number;
    record.windowTop = number + 1;
    record.windowWidth = number + 2;
    record.windowHeight = number + 3;
    record.windowShowCmd = number + 4;
    record.splitterPos = number + 5;
    record.startWithWindows = flag;
    record.passwordProtected = flag;
    record.passwordHash = digest;
    return record;
}

} // namespace

// Any accepted file must survive encode and decode unchanged, whatever the record held before.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const PersistedSettings before = Filled(1000, 7, "before");
    PersistedSettings first = before;
    if (DecodeSettings(data, size, first) != SettingsDecode::Ok)
    {
        if (!(first == before))
            abort();
        return 0;
    }

    std::vector<uint8_t> encoded = EncodeSettings(first);
    PersistedSettings second = Filled(-1000, 3, "other");
    if (DecodeSettings(encoded.data(), encoded.size(), second) != SettingsDecode::Ok || !(second == first))
        abort();
    if (EncodeSettings(second) != encoded)
        abort();
    return 0;
}
