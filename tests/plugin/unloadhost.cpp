// A host that unloads the plug-in between openings, as Ardour does with an
// LV2 UI: three rounds of dlopen, an editor opened in a parent window of
// ours, its first frame awaited, the editor closed, dlclose. It links no GL
// of its own, so whatever the plug-in's GL stack leaves loaded is all there is.
// Usage: unloadhost vst PATH/Quelt.so | unloadhost lv2ui PATH/Quelt.lv2
// Exit status 0 when every opening drew. With "refuse" instead (a display
// without GLX) or "badparent" (a parent id that is no window), the LV2 UI
// must answer NULL within a second.
#include "shell/vst.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <dlfcn.h>
#include <lv2/ui/ui.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <thread>

namespace {

constexpr int kRounds = 3;
constexpr auto kPatience = std::chrono::seconds(10);

Display* display = nullptr;
Window parent = 0;

bool waitFor(const std::function<bool()>& pred)
{
    const auto end = std::chrono::steady_clock::now() + kPatience;
    while (!pred()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

Window onlyChild()
{
    Window root = 0, up = 0, *children = nullptr;
    unsigned count = 0;
    Window child = 0;
    if (XQueryTree(display, parent, &root, &up, &children, &count) && count == 1)
        child = children[0];
    if (children)
        XFree(children);
    return child;
}

// The window shows something other than black: the editor's artwork.
bool showsArtwork(Window window)
{
    XWindowAttributes a;
    if (!window || !XGetWindowAttributes(display, window, &a) || a.map_state != IsViewable)
        return false;
    XImage* image = XGetImage(display, window, 0, 0, unsigned(a.width), unsigned(a.height),
                              AllPlanes, ZPixmap);
    if (!image)
        return false;
    long lit = 0;
    for (int y = 0; y < a.height; ++y)
        for (int x = 0; x < a.width; ++x)
            lit += (XGetPixel(image, x, y) & 0xffffff) != 0;
    XDestroyImage(image);
    return lit > a.width * a.height / 4;
}

intptr_t vstHost(AEffect*, int32_t opcode, int32_t, intptr_t, void*, float)
{
    return opcode == audioMasterVersion ? kVstVersion : 0;
}

bool openVst(void* library)
{
    auto entry = reinterpret_cast<AEffect* (*)(audioMasterCallback)>(dlsym(library, "VSTPluginMain"));
    AEffect* effect = entry ? entry(vstHost) : nullptr;
    if (!effect)
        return false;
    auto dispatch = [&](int32_t opcode, void* ptr = nullptr) {
        return effect->dispatcher(effect, opcode, 0, 0, ptr, 0.0f);
    };
    dispatch(effOpen);
    bool drew = dispatch(effEditOpen, reinterpret_cast<void*>(parent)) == 1 &&
                waitFor([] { return showsArtwork(onlyChild()); });
    dispatch(effEditClose);
    dispatch(effClose);
    return drew;
}

void noWrite(LV2UI_Controller, uint32_t, uint32_t, uint32_t, const void*) {}

LV2UI_Handle instantiateUi(const LV2UI_Descriptor* d, const std::string& bundle, Window into,
                           LV2UI_Widget* widget)
{
    const LV2_Feature parentFeature{LV2_UI__parent, reinterpret_cast<void*>(into)};
    const LV2_Feature* features[] = {&parentFeature, nullptr};
    return d->instantiate(d, "http://zorv.example/plugins/quelt#stereo", bundle.c_str(), noWrite,
                          nullptr, widget, features);
}

const LV2UI_Descriptor* uiDescriptor(void* library)
{
    auto entry = reinterpret_cast<const LV2UI_Descriptor* (*)(uint32_t)>(dlsym(library, "lv2ui_descriptor"));
    return entry ? entry(0) : nullptr;
}

// An instantiation that cannot work: NULL, and soon.
bool refusedSoon(void* library, const std::string& bundle, Window into)
{
    const LV2UI_Descriptor* d = uiDescriptor(library);
    LV2UI_Widget widget = nullptr;
    const auto start = std::chrono::steady_clock::now();
    LV2UI_Handle ui = d ? instantiateUi(d, bundle, into, &widget) : nullptr;
    const auto took = std::chrono::steady_clock::now() - start;
    if (ui)
        d->cleanup(ui);
    printf("refused in %lld ms\n",
           (long long)std::chrono::duration_cast<std::chrono::milliseconds>(took).count());
    return d && !ui && took < std::chrono::seconds(1);
}

bool openLv2Ui(void* library, const std::string& bundle)
{
    const LV2UI_Descriptor* d = uiDescriptor(library);
    if (!d)
        return false;
    LV2UI_Widget widget = nullptr;
    LV2UI_Handle ui = instantiateUi(d, bundle, parent, &widget);
    if (!ui)
        return false;
    const Window editor = Window(reinterpret_cast<uintptr_t>(widget));
    const bool drew = waitFor([&] { return showsArtwork(editor); });
    d->cleanup(ui);
    return drew;
}

}  // namespace

int main(int argc, char** argv)
{
    const std::string mode = argc == 3 ? argv[1] : "";
    if (mode != "vst" && mode != "lv2ui" && mode != "refuse" && mode != "badparent") {
        fprintf(stderr, "usage: %s vst|lv2ui|refuse|badparent PATH\n", argv[0]);
        return 2;
    }
    const bool vst = mode == "vst";
    const std::string path = argv[2];
    display = XOpenDisplay(nullptr);
    if (!display) {
        fprintf(stderr, "no display\n");
        return 2;
    }
    parent = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 660, 390, 0, 0, 0);
    XMapWindow(display, parent);
    XSync(display, False);
    if (mode == "refuse" || mode == "badparent") {
        void* library = dlopen((path + "/quelt_ui.so").c_str(), RTLD_NOW | RTLD_LOCAL);
        const bool refused = library && refusedSoon(library, path, mode == "refuse" ? parent : Window(0x7ffffff0));
        if (library)
            dlclose(library);
        return refused ? 0 : 1;
    }
    int failures = 0;
    for (int round = 1; round <= kRounds; ++round) {
        void* library = dlopen((vst ? path : path + "/quelt_ui.so").c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!library) {
            fprintf(stderr, "%s\n", dlerror());
            return 2;
        }
        const bool drew = vst ? openVst(library) : openLv2Ui(library, path);
        dlclose(library);
        printf("%s opening %d: %s\n", argv[1], round, drew ? "drew" : "FAILED");
        failures += !drew;
    }
    XDestroyWindow(display, parent);
    XCloseDisplay(display);
    return failures == 0 ? 0 : 1;
}
