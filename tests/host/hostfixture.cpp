#include "tests/host/hostfixture.h"

#include <cmath>

namespace Zorv {

const char* const kPluginPath = QUELT_PLUGIN_PATH;

void HostTest::SetUp()
{
    ASSERT_TRUE(host.open(kPluginPath)) << host.error();
}

bool BankSnapshot::operator==(const BankSnapshot& o) const
{
    if (current != o.current || names != o.names || displays != o.displays ||
        values.size() != o.values.size())
        return false;
    for (size_t i = 0; i < values.size(); ++i)
        if (!(values[i] == o.values[i] || (std::isnan(values[i]) && std::isnan(o.values[i]))))
            return false;
    return true;
}

BankSnapshot snapshot(GPluginHost& host)
{
    BankSnapshot s;
    s.current = host.program();
    const AEffect* e = host.effect();
    for (int p = 0; p < e->numPrograms; ++p) {
        s.names.push_back(host.programNameIndexed(p));
        host.setProgram(p);
        for (int i = 0; i < e->numParams; ++i) {
            s.values.push_back(host.getParameter(i));
            s.displays.push_back(host.paramDisplay(i));
        }
    }
    host.setProgram(s.current);
    return s;
}

GChannels<float> tone(int channels, size_t frames, double amplitude, double hz)
{
    GChannels<float> x(static_cast<size_t>(channels), std::vector<float>(frames));
    for (size_t c = 0; c < x.size(); ++c)
        for (size_t i = 0; i < frames; ++i)
            x[c][i] = float(amplitude * (hz > 0 ? std::sin(2 * M_PI * hz * double(i) / kRate +
                                                           double(c))
                                                : 1.0));
    return x;
}

GChannels<float> silence(int channels, size_t frames)
{
    return GChannels<float>(static_cast<size_t>(channels), std::vector<float>(frames));
}

GChannels<float> joined(const GChannels<float>& a, const GChannels<float>& b)
{
    GChannels<float> x = a;
    for (size_t c = 0; c < x.size(); ++c)
        x[c].insert(x[c].end(), b[c].begin(), b[c].end());
    return x;
}

GChannels<double> widened(const GChannels<float>& x)
{
    GChannels<double> y;
    for (const auto& c : x)
        y.emplace_back(c.begin(), c.end());
    return y;
}

}  // namespace Zorv
