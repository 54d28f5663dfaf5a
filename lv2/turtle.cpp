// Build-time writer of the bundle's Turtle files. It builds the gate as the
// DSP binary does and describes what it finds: the parameter table gives
// port names, symbols, units, ranges, defaults and mapping hints, the bank
// (filled from the embedded preset text) gives the presets.
// Usage: quelt_lv2_turtle <bundle dir> <DSP binary name> <UI binary name>
#include "gate/quelt.h"
#include "lv2/ports.h"

#include <cctype>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

namespace Zorv::Lv2 {

namespace {

const char kPrefixes[] =
    "@prefix doap: <http://usefulinc.com/ns/doap#> .\n"
    "@prefix foaf: <http://xmlns.com/foaf/0.1/> .\n"
    "@prefix lv2: <http://lv2plug.in/ns/lv2core#> .\n"
    "@prefix opts: <http://lv2plug.in/ns/ext/options#> .\n"
    "@prefix pprops: <http://lv2plug.in/ns/ext/port-props#> .\n"
    "@prefix pset: <http://lv2plug.in/ns/ext/presets#> .\n"
    "@prefix rdfs: <http://www.w3.org/2000/01/rdf-schema#> .\n"
    "@prefix ui: <http://lv2plug.in/ns/extensions/ui#> .\n"
    "@prefix units: <http://lv2plug.in/ns/extensions/units#> .\n"
    "@prefix urid: <http://lv2plug.in/ns/ext/urid#> .\n\n";

struct Variant {
    const char* uri;
    const char* name;
    int channels;
};

const char kLicenseUri[] = "http://opensource.org/licenses/isc";

const Variant kVariants[] = {{kStereoUri, "Quelt", kStereo}, {kMonoUri, "Quelt Mono", kMono}};

// The LV2 unit of a parameter's unit text; null when LV2 names none.
const char* unitUri(const char* unit)
{
    static const char* const kUnits[][2] = {{"dB", "units:db"}, {"ms", "units:ms"}, {"s", "units:s"},
                                            {"Hz", "units:hz"}, {"%", "units:pc"}};
    for (const auto& u : kUnits)
        if (strcmp(unit, u[0]) == 0)
            return u[1];
    return nullptr;
}

// A Turtle decimal: shortest text that reads back as the same float.
std::string decimal(double value)
{
    char text[32];
    for (int digits = 6; digits <= 9; ++digits) {
        snprintf(text, sizeof text, "%.*g", digits, value);
        if (float(strtod(text, nullptr)) == float(value))
            break;
    }
    std::string s = text;
    if (s.find_first_of(".e") == std::string::npos)
        s += ".0";
    return s;
}

// A port symbol from a parameter name: lower case, anything else as '_'.
std::string symbolOf(const char* name)
{
    std::string s;
    for (const char* c = name; *c; ++c)
        s += isalnum(static_cast<unsigned char>(*c)) ? char(tolower(static_cast<unsigned char>(*c))) : '_';
    if (s.empty() || isdigit(static_cast<unsigned char>(s[0])))
        s.insert(0, "p");
    return s;
}

std::string quoted(const char* text)
{
    std::string s = "\"";
    for (const char* c = text; *c; ++c) {
        if (*c == '"' || *c == '\\')
            s += '\\';
        s += *c;
    }
    return s + "\"";
}

std::string presetUri(int program) { return "<" + std::string(kPresetUriPrefix) + std::to_string(program + 1) + ">"; }

std::string parameterPort(Quelt& gate, int i)
{
    const GEffectParameter* p = gate.getBank().parameter(i);
    std::string s = "\t\ta lv2:InputPort, lv2:ControlPort ;\n";
    s += "\t\tlv2:index " + std::to_string(kFirstParameterPort + i) + " ;\n";
    s += "\t\tlv2:symbol \"" + symbolOf(p->getName()) + "\" ;\n";
    s += "\t\tlv2:name " + quoted(p->getName()) + " ;\n";
    s += "\t\tlv2:default " + decimal(p->toNatural(p->getDefault())) + " ;\n";
    s += "\t\tlv2:minimum " + decimal(p->toNatural(0.0)) + " ;\n";
    s += "\t\tlv2:maximum " + decimal(p->toNatural(1.0)) + " ;\n";
    // The port carries the natural value: a Thresh in dB is linear already.
    if (const int steps = p->rangeSteps())
        s += "\t\tpprops:rangeSteps " + std::to_string(steps) + " ;\n";
    if (const char* unit = unitUri(p->getUnit()))
        s += std::string("\t\tunits:unit ") + unit + " ;\n";
    return s;
}

std::string fixedPorts(int channels)
{
    std::string s =
        "\t\ta lv2:InputPort, lv2:ControlPort ;\n"
        "\t\tlv2:index " + std::to_string(kEnabledPort) + " ;\n"
        "\t\tlv2:symbol \"enabled\" ;\n\t\tlv2:name \"Enabled\" ;\n"
        "\t\tlv2:designation lv2:enabled ;\n\t\tlv2:portProperty lv2:toggled ;\n"
        "\t\tlv2:default 1 ;\n\t\tlv2:minimum 0 ;\n\t\tlv2:maximum 1 ;\n\t] , [\n"
        "\t\ta lv2:OutputPort, lv2:ControlPort ;\n"
        "\t\tlv2:index " + std::to_string(kGainPort) + " ;\n"
        "\t\tlv2:symbol \"gain\" ;\n\t\tlv2:name \"Gain\" ;\n"
        "\t\tlv2:minimum 0.0 ;\n\t\tlv2:maximum 1.0 ;\n";
    static const char* const kSides[2][2] = {{"l", " L"}, {"r", " R"}};
    for (int direction = 0; direction < 2; ++direction)
        for (int c = 0; c < channels; ++c) {
            const bool input = direction == 0;
            const std::string side = channels == 1 ? "" : std::string("_") + kSides[c][0];
            s += "\t] , [\n\t\ta lv2:AudioPort, ";
            s += input ? "lv2:InputPort ;\n" : "lv2:OutputPort ;\n";
            s += "\t\tlv2:index " + std::to_string(kFirstAudioPort + uint32_t(direction * channels + c)) + " ;\n";
            s += std::string("\t\tlv2:symbol \"") + (input ? "in" : "out") + side + "\" ;\n";
            s += std::string("\t\tlv2:name \"") + (input ? "In" : "Out") +
                 (channels == 1 ? "" : kSides[c][1]) + "\" ;\n";
        }
    return s;
}

std::string versions()
{
    return "\tlv2:minorVersion " + std::to_string(QUELT_VERSION_MINOR) + " ;\n\tlv2:microVersion " +
           std::to_string(QUELT_VERSION_MICRO) + " ;\n";
}

std::string describePlugin(Quelt& gate, const Variant& v)
{
    std::string s = "<" + std::string(v.uri) + ">\n\ta lv2:Plugin, lv2:GatePlugin ;\n";
    s += "\tdoap:name " + quoted(v.name) + " ;\n";
    s += "\tdoap:license <" + std::string(kLicenseUri) + "> ;\n" + versions();
    s += "\tlv2:project <" + std::string(kProjectUri) + "> ;\n";
    s += "\tlv2:optionalFeature lv2:hardRTCapable, urid:map, opts:options ;\n";
    s += "\topts:supportedOption <http://lv2plug.in/ns/ext/buf-size#maxBlockLength> ;\n";
    s += "\tui:ui <" + std::string(kUiUri) + "> ;\n\tlv2:port [\n";
    for (int i = 0; i < gate.getBank().getNumParams(); ++i)
        s += parameterPort(gate, i) + "\t] , [\n";
    return s + fixedPorts(v.channels) + "\t] .\n\n";
}

std::string describeProject(Quelt& gate)
{
    return "<" + std::string(kProjectUri) + ">\n\ta doap:Project ;\n\tdoap:name " +
           quoted(gate.productName()) + " ;\n\tdoap:license <" + kLicenseUri +
           "> ;\n\tdoap:maintainer [ foaf:name " +
           quoted(gate.vendorName()) + " ] .\n\n";
}

std::string describeUi(Quelt& gate)
{
    std::string s = "<" + std::string(kUiUri) + ">\n\ta ui:X11UI ;\n";
    s += "\tlv2:requiredFeature ui:parent ;\n";
    // A host's ui:resize is used when it passes one, but the feature is not declared:
    // LV2 retires it. The editor has one size per scale.
    s += "\tlv2:optionalFeature ui:touch, ui:idleInterface, ui:noUserResize, opts:options, urid:map ;\n";
    s += "\topts:supportedOption ui:scaleFactor ;\n";
    s += "\tlv2:extensionData ui:idleInterface ;\n\tui:portNotification";
    const char* separator = " [\n";
    for (const Variant& v : kVariants) {
        std::string symbols[kNumQueltParameters + 1];
        for (int i = 0; i < kNumQueltParameters; ++i)
            symbols[i] = symbolOf(gate.getBank().parameter(i)->getName());
        symbols[kNumQueltParameters] = "gain";
        for (const std::string& symbol : symbols) {
            s += separator;
            s += "\t\tui:plugin <" + std::string(v.uri) + "> ;\n\t\tlv2:symbol \"" + symbol +
                 "\" ;\n\t\tui:protocol ui:floatProtocol\n";
            separator = "\t] , [\n";
        }
    }
    return s + "\t] .\n";
}

std::string appliesTo()
{
    return std::string("\tlv2:appliesTo <") + kStereoUri + "> , <" + kMonoUri + "> ;\n";
}

std::string describePresets(Quelt& gate)
{
    ProgramBank& bank = gate.getBank();
    std::string s;
    for (int p = 0; p < bank.getNumPrograms(); ++p) {
        char name[ProgramBank::kNameBytes];
        gate.getProgramNameIndexed(0, p, name);
        s += presetUri(p) + "\n\ta pset:Preset ;\n" + appliesTo();
        s += "\trdfs:label " + quoted(name) + " ;\n\tlv2:port";
        for (int i = 0; i < bank.getNumParams(); ++i) {
            const GEffectParameter* parameter = bank.parameter(i);
            s += i == 0 ? " [\n" : "\t] , [\n";
            s += "\t\tlv2:symbol \"" + symbolOf(parameter->getName()) + "\" ;\n";
            s += "\t\tpset:value " + decimal(parameter->getNatural(bank.slot(p, i))) + "\n";
        }
        s += "\t] .\n\n";
    }
    return s;
}

std::string manifest(Quelt& gate, const char* dspBinary, const char* uiBinary)
{
    std::string s = kPrefixes;
    for (const Variant& v : kVariants)
        s += "<" + std::string(v.uri) + ">\n\ta lv2:Plugin ;\n" + versions() + "\tlv2:binary <" +
             dspBinary + "> ;\n\trdfs:seeAlso <quelt.ttl> .\n\n";
    s += "<" + std::string(kUiUri) + ">\n\ta ui:X11UI ;\n\tlv2:binary <" + uiBinary +
         "> ;\n\trdfs:seeAlso <quelt.ttl> .\n\n";
    for (int p = 0; p < gate.getBank().getNumPrograms(); ++p)
        s += presetUri(p) + "\n\ta pset:Preset ;\n" + appliesTo() + "\trdfs:seeAlso <presets.ttl> .\n\n";
    return s;
}

bool writeFile(const std::string& dir, const char* name, const std::string& text)
{
    FILE* f = fopen((dir + "/" + name).c_str(), "w");
    if (!f)
        return false;
    const bool written = fwrite(text.data(), 1, text.size(), f) == text.size();
    return fclose(f) == 0 && written;
}

}  // namespace

int writeBundle(const char* dir, const char* dspBinary, const char* uiBinary)
{
    std::unique_ptr<Quelt> gate(new Quelt(nullptr));
    std::string plugins = kPrefixes + describeProject(*gate);
    for (const Variant& v : kVariants)
        plugins += describePlugin(*gate, v);
    plugins += describeUi(*gate);
    const bool ok = writeFile(dir, "manifest.ttl", manifest(*gate, dspBinary, uiBinary)) &&
                    writeFile(dir, "quelt.ttl", plugins) &&
                    writeFile(dir, "presets.ttl", kPrefixes + describePresets(*gate));
    return ok ? 0 : 1;
}

}  // namespace Zorv::Lv2

int main(int argc, char** argv)
{
    if (argc != 4) {
        fprintf(stderr, "usage: %s <bundle dir> <DSP binary> <UI binary>\n", argv[0]);
        return 2;
    }
    return Zorv::Lv2::writeBundle(argv[1], argv[2], argv[3]);
}
