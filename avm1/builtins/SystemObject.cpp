// System: the player's capabilities, the security calls, the clipboard and settings
// panel, the code page switch, System.Product and System.IME. The player reports itself
// as a desktop player of the version whose movies it plays; movies compare the version
// string, and the capabilities tell them what they may use: sound, MP3 and video play,
// while there is no camera, microphone, printer, screen broadcast or input method.
#include "SystemObject.h"

#include "Builtins.h"
#include "NativeHelpers.h"
#include "PropertyFlags.h"
#include "avm1/ScriptHost.h"
#include "avm1/Vm.h"
#include "script/url/UrlEscaping.h"

#include <string>

namespace avm1 {

namespace {

#if defined(_WIN32)
constexpr const char* kPlatform = "WIN";
constexpr const char* kOsName = "Windows";
#elif defined(__APPLE__)
constexpr const char* kPlatform = "MAC";
constexpr const char* kOsName = "Mac OS";
#else
constexpr const char* kPlatform = "LNX";
constexpr const char* kOsName = "Linux";
#endif

// The player version the movies of the highest file version this player plays expect.
constexpr const char* kVersionNumbers = "11,2,202,0";

std::string versionText()
{
    return std::string(kPlatform) + " " + kVersionNumbers;
}

constexpr std::uint16_t kBuiltIn = PropertyFlag::DontEnum | PropertyFlag::DontDelete;

Value returnsUndefined(Vm&, const CallArgs&)
{
    return Value();
}

Value returnsFalse(Vm&, const CallArgs&)
{
    return Value(false);
}

// allowDomain and allowInsecureDomain grant access to whatever they are given, and
// say so: false only when given nothing.
Value allowDomain(Vm&, const CallArgs& call)
{
    return Value(call.count() > 0);
}

// setClipboard(text): the text, through ToString, replaces the player's clipboard.
// Without an argument nothing changes.
Value setClipboard(Vm& vm, const CallArgs& call)
{
    if (call.count() == 0)
        return Value(false);
    String* text = vm.toString(call.arg(0));
    if (vm.throwing())
        return Value();
    return Value(vm.host() && vm.host()->setClipboardText(text->view()));
}

// The IME's conversion mode, when there is no input method to convert with.
Value unknownConversionMode(Vm& vm, const CallArgs&)
{
    return vm.strValue("UNKNOWN");
}

// One capability: its name, its abbreviation in serverString, and its value.
struct Capability {
    const char* name;
    const char* code;
    enum class Kind : std::uint8_t { Flag, Number, Text } kind;
    bool flag = false;
    double number = 0;
    const char* text = nullptr;
};

using Kind = Capability::Kind;

constexpr Capability flag(const char* name, const char* code, bool value)
{
    return {name, code, Kind::Flag, value, 0, nullptr};
}

constexpr Capability number(const char* name, const char* code, double value)
{
    return {name, code, Kind::Number, false, value, nullptr};
}

constexpr Capability text(const char* name, const char* code, const char* value)
{
    return {name, code, Kind::Text, false, 0, value};
}

constexpr double kScreenWidth = 1920;
constexpr double kScreenHeight = 1080;

// In the order serverString lists them; "version", "manufacturer" and "os" are added
// from the platform. screenResolutionY shares "R" with X.
const Capability kCapabilities[] = {
    flag("hasAudio", "A", true),
    flag("hasStreamingAudio", "SA", true),
    flag("hasStreamingVideo", "SV", true),
    flag("hasEmbeddedVideo", "EV", true),
    flag("hasMP3", "MP3", true),
    flag("hasAudioEncoder", "AE", false),
    flag("hasVideoEncoder", "VE", false),
    flag("hasAccessibility", "ACC", false),
    flag("hasPrinting", "PR", false),
    flag("hasScreenPlayback", "SP", false),
    flag("hasScreenBroadcast", "SB", false),
    flag("isDebugger", "DEB", false),
    number("screenResolutionX", "R", kScreenWidth),
    number("screenResolutionY", nullptr, kScreenHeight),
    number("screenDPI", "DP", 72),
    text("screenColor", "COL", "color"),
    number("pixelAspectRatio", "AR", 1),
    text("language", "L", "en"),
    flag("hasIME", "IME", false),
    text("playerType", "PT", "StandAlone"),
    flag("avHardwareDisable", "AVD", true),
    flag("localFileReadDisable", "LFD", false),
    flag("windowlessDisable", "WD", false),
    flag("hasTLS", "TLS", true),
};

std::string serverString(Vm& vm, const std::string& version, const std::string& manufacturer)
{
    std::string out;
    auto add = [&](const char* code, const std::string& value) {
        if (!out.empty())
            out += '&';
        out += code;
        out += '=';
        out += value;
    };
    for (const Capability& c : kCapabilities) {
        if (!c.code)
            continue;
        switch (c.kind) {
        case Kind::Flag:
            add(c.code, c.flag ? "t" : "f");
            break;
        case Kind::Number:
            if (std::string_view(c.code) == "R")
                add(c.code, vm.numberToString(kScreenWidth)->text() + "x" +
                                vm.numberToString(kScreenHeight)->text());
            else
                add(c.code, vm.numberToString(c.number)->text());
            break;
        case Kind::Text:
            add(c.code, script::url::escapeText(c.text));
            break;
        }
        if (std::string_view(c.code) == "DEB") {
            add("V", script::url::escapeText(version));
            add("M", script::url::escapeText(manufacturer));
        } else if (std::string_view(c.code) == "AR") {
            add("OS", script::url::escapeText(kOsName));
        }
    }
    return out;
}

Object* makeCapabilities(Vm& vm)
{
    Object* caps = vm.makeObject();
    const std::string version = versionText();
    const std::string manufacturer = std::string("Adobe ") + kOsName;
    caps->defineValue(vm, "version", vm.strValue(version));
    caps->defineValue(vm, "os", vm.strValue(kOsName));
    caps->defineValue(vm, "manufacturer", vm.strValue(manufacturer));
    for (const Capability& c : kCapabilities) {
        switch (c.kind) {
        case Kind::Flag:
            caps->defineValue(vm, c.name, Value(c.flag));
            break;
        case Kind::Number:
            caps->defineValue(vm, c.name, Value(c.number));
            break;
        case Kind::Text:
            caps->defineValue(vm, c.name, vm.strValue(c.text));
            break;
        }
    }
    caps->defineValue(vm, "serverString", vm.strValue(serverString(vm, version, manufacturer)));
    return caps;
}

Object* makeSecurity(Vm& vm)
{
    Object* security = vm.makeObject();
    vm.defineMethods(security,
                     {{"allowDomain", allowDomain},
                      {"allowInsecureDomain", allowDomain},
                      {"loadPolicyFile", returnsUndefined}},
                     kBuiltIn);
    security->defineValue(vm, "sandboxType", vm.strValue("localWithFile"), kBuiltIn);
    return security;
}

// System.Product: the reference's hook for launching and downloading a player
// product; there is none to launch, so both say they did nothing.
void installProduct(Vm& vm, Object* system)
{
    Object* proto = vm.makeObject();
    NativeFunction* ctor = vm.makeNative(returnsUndefined);
    ctor->defineValue(vm, "prototype", Value(proto), kBuiltIn | PropertyFlag::ReadOnly);
    proto->defineValue(vm, "constructor", Value(ctor), PropertyFlag::DontEnum);
    vm.defineMethods(proto, {{"launch", returnsFalse}, {"download", returnsFalse}});
    system->defineValue(vm, "Product", Value(ctor), kBuiltIn);
}

// System.IME: no input method is present, so it is off and converts nothing.
void installIme(Vm& vm, Object* system)
{
    Object* ime = vm.makeObject();
    const Value broadcaster = vm.getMember(vm.global(), vm.str("AsBroadcaster"));
    const Value arg(ime);
    vm.callMethod(broadcaster, vm.str("initialize"), std::span<const Value>(&arg, 1));
    vm.defineMethods(ime,
                     {{"getEnabled", returnsFalse},
                      {"setEnabled", returnsFalse},
                      {"getConversionMode", unknownConversionMode},
                      {"setConversionMode", returnsFalse},
                      {"setCompositionString", returnsFalse},
                      {"doConversion", returnsFalse}},
                     kBuiltIn);
    for (const char* mode :
         {"ALPHANUMERIC_FULL", "ALPHANUMERIC_HALF", "CHINESE", "JAPANESE_HIRAGANA",
          "JAPANESE_KATAKANA_FULL", "JAPANESE_KATAKANA_HALF", "KOREAN", "UNKNOWN"})
        ime->defineValue(vm, mode, vm.strValue(mode), kBuiltIn | PropertyFlag::ReadOnly);
    system->defineValue(vm, "IME", Value(ime), kBuiltIn);
}

Object* systemObject(Vm& vm)
{
    return vm.getMember(vm.global(), vm.str("System")).objectOrNull();
}

} // namespace

void installSystem(Vm& vm)
{
    Object* system = vm.makeObject();
    system->defineValue(vm, "capabilities", Value(makeCapabilities(vm)), kBuiltIn);
    system->defineValue(vm, "security", Value(makeSecurity(vm)), kBuiltIn);
    vm.defineMethods(system, {{"setClipboard", setClipboard}, {"showSettings", returnsUndefined}},
                     kBuiltIn);
    // Loaded text that is no UTF-8 is read in a code page while this is on (CodePages.h).
    system->defineValue(vm, "useCodepage", Value(false), PropertyFlag::DontEnum);
    // The reference's default: exact settings from SWF 7, the looser ones in SWF 6.
    system->defineValue(vm, "exactSettings", Value(vm.swfVersion() >= 7),
                        PropertyFlag::DontEnum | VersionFlag::SinceSwf6);
    installProduct(vm, system);
    installIme(vm, system);
    vm.global()->defineValue(vm, "System", Value(system), PropertyFlag::DontEnum);
}

String* playerVersionText(Vm& vm)
{
    return vm.str(versionText());
}

void describeMovie(Vm& vm, Object* root, const MovieFacts& facts)
{
    if (root)
        root->defineValue(vm, "$version", Value(playerVersionText(vm)), PropertyFlag::DontEnum);
    Object* system = systemObject(vm);
    Object* security = system ? vm.getMember(system, vm.str("security")).objectOrNull() : nullptr;
    if (security)
        security->defineValue(vm, "sandboxType",
                              vm.strValue(facts.useNetwork ? "localWithNetwork" : "localWithFile"),
                              kBuiltIn);
}

} // namespace avm1
