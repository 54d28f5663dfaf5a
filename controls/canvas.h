// GCanvas: the editor's only drawing surface, over one nanovg context that
// draws into the editor's off-screen frame buffer. Every primitive opens its
// own nanovg frame, applies the clip window, paints one path or text run and
// ends the frame, so each call is flushed at once and nothing is cleared.
// All coordinates are whole skin pixels relative to the clip window's corner;
// the surface holds scale device pixels per skin pixel, and nanovg rasterises
// at that resolution. Skin edge v lies on device edge ceil(v × scale): the
// clip window, rectangle fills and image cells cover whole device pixels, so
// neighbours meet without seams and an erase covers exactly what was drawn.
// Used only on the editor's UI thread; borrows the context, owns nothing.
#pragma once

struct NVGcontext;

namespace Zorv {

class GFont;

struct GRect {
    int x, y, w, h;
};

struct GPoint {
    int x, y;
};

struct GVertex {
    double x, y;
};

// A vertical line from (x, y1) to (x, y2).
struct GSpan {
    int x, y1, y2;
};

// a + b held within int: skin coordinates may come from any skin text.
int saturatedSum(int a, int b);
// Device edge of skin edge v: ceil(v × scale), the one rule for sizes, clips,
// fills and presented rectangles.
int toDevice(int v, double scale);
// Skin pixel holding device pixel d: floor(d / scale), the inverse of toDevice.
int toSkin(int d, double scale);
// The device pixels a skin rectangle covers.
GRect toDevice(const GRect& skin, double scale);

// Text alignment codes of DrawText.
enum GTextAlign { kAlignLeft = 0, kAlignCentre = 1, kAlignRight = 2 };

// Where DrawText puts a run: the nanovg alignment flags and the anchor point.
struct GTextAnchor {
    int flags;
    float x, y;
};

class GCanvas {
public:
    GCanvas(NVGcontext* context, int width, int height, double scale = 1.0);
    virtual ~GCanvas() = default;

    NVGcontext* context() const { return vg; }  // the borrowed nanovg context
    int width() const { return surfaceW; }        // surface width in skin pixels
    int height() const { return surfaceH; }       // surface height in skin pixels
    double scale() const { return pixelScale; }   // device pixels per skin pixel
    int deviceWidth() const { return deviceW; }   // surface width in device pixels
    int deviceHeight() const { return deviceH; }  // surface height in device pixels
    GRect clip() const { return {clipX, clipY, clipW, clipH}; }  // the clip window

    void SetClip(int x, int y, int w, int h);  // moves the clip window, kept on the surface
    void ResetClip();                           // clip window = whole surface

    void FillRectRGB(int x, int y, int w, int h, const unsigned char* rgb);   // opaque fill
    void FillRect(int x, int y, int w, int h, const unsigned char* rgba);     // fill with alpha
    void DrawRect(int x, int y, int w, int h, const unsigned char* rgba);     // 1-pixel outline
    void DrawHLine(int x1, int y, int x2, const unsigned char* rgba);         // 1-pixel line
    void DrawVLine(int x, int y1, int y2, const unsigned char* rgba);         // 1-pixel line
    void DrawVLines(const GSpan* spans, int count, const unsigned char* rgba); // many, one frame
    void DrawLine(const unsigned char* rgba, double x1, double y1, double x2, double y2,
                  double width);                                              // line of any width
    void FillCircle(const unsigned char* rgba, double cx, double cy, double r);  // filled disc
    void DrawPolyline(const GVertex* points, int count, const unsigned char* rgba,
                      double width);                                          // open path, or a dot
    // Cell src of an image holding density pixels per skin pixel, at dst; src is in skin pixels.
    void DrawImage(int image, const GRect* src, const GPoint* dst, int density = 1);
    void DrawText(const char* text, int x, int y, int w, int h, const GFont* font,
                  int align);                                                 // one line in a box

    // Alignment flags and anchor of a text run in the box (x, y, w, h).
    GTextAnchor textAnchor(int x, int y, int w, int h, int align) const;

private:
    bool beginFrame();      // frame, scissor and new path; false without a context
    void snappedRect(int x, int y, int w, int h);  // rectangle path on device edges
    void fill(const unsigned char* rgba);
    void stroke(const unsigned char* rgba, double width);

    NVGcontext* vg;
    int surfaceW, surfaceH;
    double pixelScale;
    int deviceW, deviceH;
    int clipX = 0, clipY = 0, clipW, clipH;
};

// Alignment code of a skin word: first letter c centre, r right, else left.
int ParseTextAlign(const char* word);

}  // namespace Zorv
