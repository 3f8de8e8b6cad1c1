// Reads any bytes as saved design data. The reader may fail only with a
// RuntimeError; whatever it accepts must convert to the button's property
// types without anything but a RuntimeError either.
#include <QByteArrayView>

#include <cstdint>

#include "button/host/DesignData.h"
#include "platform/core/RuntimeError.h"

namespace {

void ConvertEveryKnownKey(const tallyline::PropertyBag& bag) {
    using namespace tallyline;
    for (const char* key : {"State", "Enabled", "Caption", "Font", "_extentx"}) {
        const QString name = QString::fromLatin1(key);
        const PropertyValue value = bag.ReadProperty(name, std::int32_t{0});
        try {
            CLng(value, name);
        } catch (const RuntimeError&) {
        }
        try {
            CBool(value, name);
        } catch (const RuntimeError&) {
        }
        try {
            CStr(value, name);
        } catch (const RuntimeError&) {
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    try {
        const tallyline::DesignData design =
            tallyline::ReadDesignData(QByteArrayView(data, static_cast<qsizetype>(size)));
        for (const auto& [name, bag] : design.instances) ConvertEveryKnownKey(bag);
    } catch (const tallyline::RuntimeError&) {
    }
    return 0;
}
