// plughost skin: a preview for skin authors. Builds the editor from a skin
// text on disk against the gate linked into the tool (the plug-in itself only
// ever reads its embedded skin), shows it as gui does and reports on stderr
// every line the builder skipped. Image and font files the skin names are
// taken from the skin's folder first, then from the embedded files. With
// --watch the editor is rebuilt whenever the skin or one of those files
// changes; a text that builds no editor leaves the last good one on screen.

#include "tools/plughost.h"

#include "editor/builder.h"
#include "editor/editor.h"
#include "editor/skinreport.h"
#include "gate/quelt.h"
#include "shell/embedded.h"
#include "xp/inputreader.h"
#include "xp/nocase.h"
#include "xp/tokenreader.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <iterator>
#include <list>
#include <sstream>

namespace Zorv {

namespace {

bool readFile(const std::string& path, std::string& bytes)
{
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return false;
    bytes.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    return !file.bad();
}

// Modification time and size of a file, "-" when it cannot be read.
std::string stampOf(const std::string& path)
{
    struct stat info = {};
    if (stat(path.c_str(), &info) != 0)
        return "-";
    return std::to_string(info.st_mtim.tv_sec) + "." + std::to_string(info.st_mtim.tv_nsec) +
           ":" + std::to_string(info.st_size);
}

std::string folderOf(const std::string& path)
{
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? "." : path.substr(0, slash);
}

std::string baseName(const std::string& path)
{
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Byte source over a text held in memory.
class TextReader : public XP::InputReader {
public:
    explicit TextReader(const std::string& text) : text(text) {}
    bool isOpen() const override { return !text.empty(); }
    size_t read(void* buffer, size_t n) override
    {
        const size_t count = std::min(n, text.size() - offset);
        std::memcpy(buffer, text.data() + offset, count);
        offset += count;
        return count;
    }

private:
    const std::string& text;
    size_t offset = 0;
};

// Prints the builder's findings as FILE:LINE: WORD: skipped: REASON.
class StderrReport : public GSkinReport {
public:
    explicit StderrReport(const std::string& file) : file(file) {}
    void skipped(int line, const char* word, const char* reason) override
    {
        std::cerr << file << ":" << line << ": " << word << ": skipped: " << reason << "\n";
    }
    void noSkin(const char* reason) override
    {
        std::cerr << file << ": no editor: " << reason << "\n";
    }

private:
    const std::string& file;
};

// The files next to the skin that its PngResource and InstallTTF lines name,
// registered ahead of the embedded files while the preview runs. Replaced
// only while no editor is open: an open editor's fonts use the bytes in place.
class SkinFiles {
public:
    explicit SkinFiles(const std::string& skinFile) : skinFile(skinFile), folder(folderOf(skinFile)) {}
    ~SkinFiles() { clear(); }

    // Registers the files the text names that lie next to the skin; warns of
    // those found neither there nor among the embedded files.
    void refresh(const std::string& text)
    {
        clear();
        TextReader source(text);
        XP::TokenReader tokens(&source);
        while (tokens.nextLine())
            if (const char* name = fileNamed(tokens))
                add(name, tokens.lineNumber(), tokens.tokenIs(0, "InstallTTF") ? "InstallTTF"
                                                                               : "PngResource");
        for (File& file : files)
            registerOverride(&file.record);
    }

    // Stamps of the skin and the files registered from its folder.
    std::string stamp() const
    {
        std::string all = stampOf(skinFile);
        for (const File& file : files)
            all += " " + stampOf(file.path);
        return all;
    }

private:
    struct File {
        std::string name, path;
        std::string bytes;
        EmbeddedResource record{};
    };

    // The file a line names: AddResource NAME PngResource FILE …, InstallTTF FAMILY FILE.
    static const char* fileNamed(const XP::TokenReader& tokens)
    {
        if (tokens.tokenIs(0, "AddResource") && tokens.tokenIs(2, "PngResource"))
            return tokens.token(3);
        if (tokens.tokenIs(0, "InstallTTF"))
            return tokens.token(2);
        return nullptr;
    }

    void add(const char* name, int line, const char* word)
    {
        for (const File& file : files)
            if (XP::equalsNoCase(file.name.c_str(), name))
                return;
        File file;
        file.name = name;
        file.path = folder + "/" + name;
        if (!readFile(file.path, file.bytes) || file.bytes.empty()) {
            if (!findResource(name, nullptr))
                std::cerr << skinFile << ":" << line << ": " << word << ": file '" << name
                          << "' found neither next to the skin nor embedded\n";
            return;
        }
        files.push_back(std::move(file));
        File& kept = files.back();
        kept.record = {kept.name.c_str(), kept.bytes.size(),
                       reinterpret_cast<const unsigned char*>(kept.bytes.data())};
    }

    void clear()
    {
        for (File& file : files)
            unregisterResource(&file.record);
        files.clear();
    }

    const std::string& skinFile;
    std::string folder;
    std::list<File> files;  // stable addresses for the registered records
};

// The entry point of the gate linked into the tool, built without an editor.
AEffect* gateEntry(audioMasterCallback audioMaster)
{
    try {
        return (new Quelt(audioMaster))->getAeffect();
    } catch (...) {
        return nullptr;
    }
}

GEffect* effectOf(GPluginHost& host)
{
    return dynamic_cast<GEffect*>(static_cast<AudioEffect*>(host.effect()->object));
}

// The editor the text builds, null (reported) when it builds none.
GEditor* buildEditor(GEffect* effect, const std::string& text, GSkinReport& report)
{
    GEditorSkinBuilder builder(effect);
    builder.setReport(&report);
    TextReader source(text);
    XP::TokenReader tokens(&source);
    GEditorSkin* skin = builder.buildSkin(tokens);
    return skin ? new GEditor(effect, skin) : nullptr;
}

void printParameters(GPluginHost& host)
{
    for (int i = 0; i < host.effect()->numParams; ++i) {
        const std::string unit = host.paramLabel(i);
        std::printf("%s %.6f %s%s%s\n", host.paramName(i).c_str(), double(host.getParameter(i)),
                    host.paramDisplay(i).c_str(), unit.empty() ? "" : " ", unit.c_str());
    }
    std::fflush(stdout);
}

// Rebuilds the editor once the files have stopped changing for one tick.
class Watcher {
public:
    Watcher(const std::string& file, GEffect* effect, SkinFiles& files, StderrReport& report)
        : file(file), effect(effect), files(files), report(report), shown(files.stamp()),
          seen(shown)
    {
    }

    void tick(GEditorStage& stage)
    {
        const std::string now = files.stamp();
        const bool settled = now == seen;
        seen = now;
        if (!settled || now == shown)
            return;
        shown = now;
        std::string text;
        if (!readFile(file, text)) {
            std::cerr << file << ": cannot read; keeping the last good editor\n";
            return;
        }
        GEditor* editor = buildEditor(effect, text, report);
        if (!editor) {
            std::cerr << file << ": keeping the last good editor\n";
            return;
        }
        stage.reopen([&] {
            effect->setEditor(editor);
            files.refresh(text);
        });
        std::cerr << file << ": rebuilt\n";
    }

private:
    const std::string& file;
    GEffect* effect;
    SkinFiles& files;
    StderrReport& report;
    std::string shown;  // stamp of the editor on screen
    std::string seen;   // stamp at the last tick
};

}  // namespace

int runSkin(const std::string& file, const GProcessOptions& options, const GGuiOptions& gui,
            const GSkinOptions& skin)
{
    std::string text;
    if (!readFile(file, text)) {
        std::cerr << "plughost: cannot read " << file << "\n";
        return kExitFailed;
    }
    SkinFiles files(file);
    files.refresh(text);
    GHostConfig config;
    config.blockSize = options.block;
    config.inputs = 2;
    config.outputs = 2;
    GPluginHost host(config);
    if (!host.open(&gateEntry)) {
        std::cerr << "plughost: cannot start the gate: " << host.error() << "\n";
        return kExitPluginLoad;
    }
    if (!applyOptions(host, options))
        return kExitFailed;
    GEffect* effect = effectOf(host);
    StderrReport report(file);
    GEditor* editor = buildEditor(effect, text, report);
    if (!editor)
        return kExitFailed;
    effect->setEditor(editor);
    Watcher watcher(file, effect, files, report);
    GGuiTick tick;
    if (skin.watch)
        tick = [&watcher](GEditorStage& stage) { watcher.tick(stage); };
    const int status = showEditor(host, "Quelt skin preview: " + baseName(file), gui, tick);
    printParameters(host);
    host.close();
    return status;
}

}  // namespace Zorv
