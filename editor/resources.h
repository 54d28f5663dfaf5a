// Editor resources: the named colours, fonts, TrueType data and framed images
// a skin declares once and its controls share. The skin owns them; controls
// keep plain pointers. Images and TrueType data live in the nanovg context,
// so the skin calls load when the UI thread attaches a canvas and unload
// before that canvas goes; both run on the UI thread with the GL context
// current. Colours and fonts are read-only after the build. File bytes come
// from the embedded-file registry and are borrowed, never freed.
#pragma once

#include <memory>
#include <string>

#include "controls/canvas.h"
#include "effect/named.h"

namespace Zorv {

constexpr int kResourceFileLength = 63;  // file and family fields hold 63 characters

class GEditorResource : public GIdBase {
public:
    using GIdBase::GIdBase;

    virtual void load(GCanvas* canvas);    // acquires context-bound data; default none
    virtual void unload(GCanvas* canvas);  // releases it; default none
};

class GColourResource : public GEditorResource {
public:
    GColourResource(const char* name, int red, int green, int blue, int alpha = 255);

    const unsigned char* colour() const { return rgba; }  // red, green, blue, alpha

private:
    unsigned char rgba[4];
};

// A font description: colour, size in pixels and the family of an installed face.
class GFont {
public:
    GFont(const unsigned char* rgba, double size, const char* family);
    virtual ~GFont() = default;

    virtual double size() const { return pixels; }      // font size in pixels
    const unsigned char* colour() const { return rgba; }  // red, green, blue, alpha
    const char* family() const { return face.c_str(); } // nanovg face name

private:
    unsigned char rgba[4];
    double pixels;
    std::string face;
};

class GFontResource : public GEditorResource {
public:
    GFontResource(const char* name, GFont* font);  // takes ownership of font

    const GFont* font() const { return owned.get(); }  // the font description

private:
    std::unique_ptr<GFont> owned;
};

// TrueType data installed under a family name in each new nanovg context.
class GFontTypeResource : public GEditorResource {
public:
    GFontTypeResource(const char* file, const char* family);  // named after the family

    void load(GCanvas* canvas) override;  // installs the embedded font data, once per context

    const char* file() const { return fileName; }  // embedded file name
    const char* family() const { return faceName; } // family it is installed as

private:
    char fileName[kResourceFileLength + 1];
    char faceName[kResourceFileLength + 1];
};

// Number of whole cells of size cell along an image side; 0 when cell < 1.
int gridCells(int image, int cell);

// Image rectangle of part of frame n, part relative to the frame's corner,
// in a grid of columns (≥ 1) of frames frameW × frameH numbered row by row.
GRect frameSource(int frameW, int frameH, int columns, int frame, const GRect& part);

// Name of an image file's double-density twin: "@2x" before the extension.
std::string twinFileName(const char* file);

// An embedded image cut into equal frames laid out row by row. On a canvas
// scaled above 1 it draws from the file's "@2x" twin when one is embedded,
// frames twice the size in image pixels; otherwise the file itself, smoothly
// scaled. Frames, parts and sizes are in skin pixels whichever file is loaded.
class GImageResource : public GEditorResource {
public:
    GImageResource(const char* name, const char* file, int frameW, int frameH, int frameCount);

    void load(GCanvas* canvas) override;    // decodes the image for the canvas's scale
    void unload(GCanvas* canvas) override;  // deletes the image from the context

    bool isUsable() const;  // loaded and its grid holds every frame
    void drawFrame(GCanvas* canvas, int x, int y, int frame) const;  // whole frame at (x, y)
    void drawFramePart(GCanvas* canvas, int frame, const GRect& part,
                       const GPoint& dst) const;  // part of a frame at dst

    const char* file() const { return fileName; }       // embedded file name
    int handle() const { return image; }                // nanovg image, 0 when unloaded
    int frameWidth() const { return frameW; }           // frame width in pixels
    int frameHeight() const { return frameH; }          // frame height in pixels
    int frameCount() const { return frames; }           // declared number of frames
    int imageWidth() const { return imageW; }           // decoded width in skin pixels, or 0
    int imageHeight() const { return imageH; }          // decoded height in skin pixels, or 0
    int density() const { return pixelsPerSkin; }       // image pixels per skin pixel
    int columns() const { return cols; }                // frames per row
    int rowCount() const { return rows; }               // rows of frames

private:
    // Takes a new image (0: none) holding density pixels per skin pixel.
    void adopt(NVGcontext* vg, int handle, int density, double scale);

    char fileName[kResourceFileLength + 1];
    int image = 0;
    int pixelsPerSkin = 1;
    double loadedScale = 0.0;  // canvas scale the image was chosen for
    int frameW, frameH, frames;
    int imageW = 0, imageH = 0;
    int rows = 0, cols = 0;
};

}  // namespace Zorv
