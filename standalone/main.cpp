// quelt: the noise gate as a JACK application. Parses the command line,
// installs the quit signals and runs the application on the main thread.
#include "standalone/app.h"

#include <csignal>
#include <cstdio>
#include <string>

namespace {

void onQuitSignal(int)
{
    Zorv::Standalone::GStandalone::requestQuit();
}

}  // namespace

int main(int argc, char** argv)
{
    using namespace Zorv::Standalone;
    GOptions options;
    std::string error;
    if (!parseOptions(argc, argv, options, error)) {
        fprintf(stderr, "quelt: %s\n%s", error.c_str(), kUsage);
        return kExitUsage;
    }
    if (options.help) {
        fputs(kUsage, stdout);
        return kExitOk;
    }
    if (options.version) {
        printf("quelt %s\n", QUELT_VERSION);
        return kExitOk;
    }
    struct sigaction quit {};
    quit.sa_handler = onQuitSignal;
    sigemptyset(&quit.sa_mask);
    sigaction(SIGINT, &quit, nullptr);
    sigaction(SIGTERM, &quit, nullptr);
    try {
        GStandalone app(std::move(options));
        return app.run();
    } catch (...) {
        fprintf(stderr, "quelt: out of memory\n");
        return kExitJack;
    }
}
