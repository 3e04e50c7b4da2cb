// The drawing helpers. None of them draws: they keep the current size, rotation, colour and
// alpha and append one 15-float command per shape or image to drawList, which OnRender replays.
#include <cmath>

#include "game/my_app.h"
#include "runtime/exact_math.h"

using namespace vexmo;

namespace {

constexpr double kRadiansPerDegree = 3.14159265358979323846 / 180.0;

// Text turns by the same trigonometry for every character of a call, computed once in double.
float SinDeg(double degrees) {
    return static_cast<float>(ExactSin(degrees * kRadiansPerDegree));
}
float CosDeg(double degrees) {
    return static_cast<float>(ExactCos(degrees * kRadiansPerDegree));
}

bool IsGiven(float value) {
    return value > kNotGiven;
}

}  // namespace

int MyApp::ResetDraw() {
    drawSizeX = 1;
    drawSizeY = 1;
    drawRotation = 0;
    drawRed = 255;
    drawGreen = 255;
    drawBlue = 255;
    drawAlpha = 1;
    return 0;
}

int MyApp::CLS2D(float r, float g, float b, float a) {
    if (IsGiven(r)) {
        clsRed = r;
        clsGreen = g;
        clsBlue = b;
        clsAlpha = a;
    }
    ResetDraw();
    drawCount = 0;
    return 0;
}

int MyApp::SetSize(float sx, float sy) {
    drawSizeX = sx;
    drawSizeY = IsGiven(sy) ? sy : sx;
    return 0;
}

int MyApp::SetRot(float a) {
    drawRotation = -a;
    return 0;
}

int MyApp::SetCol(float r, float g, float b, float a) {
    drawRed = r;
    drawGreen = g;
    drawBlue = b;
    if (IsGiven(a)) drawAlpha = a;
    return 0;
}

int MyApp::Alpha(float a) {
    drawAlpha = a;
    return 0;
}

int MyApp::CR(float p) {
    const double t = 5.0 * p;
    SetCol(125 + 125 * SinDeg(t), 125 - 125 * CosDeg(t), 125 + 125 * CosDeg(t), kNotGiven);
    return 0;
}

// Appends one command in the current state; a full list (2500 commands) drops it silently.
static void AppendCommand(MyApp& app, float kind, float x, float y, float sizeX, float sizeY,
                          float frame) {
    if (app.drawCount > kDrawListFloats - kCommandFloats) return;
    float* c = app.drawList.Data() + app.drawCount;
    c[kCmdKind] = kind;
    c[kCmdX] = x;
    c[kCmdY] = y;
    c[kCmdRotation] = app.drawRotation;
    c[kCmdSizeX] = sizeX;
    c[kCmdSizeY] = sizeY;
    c[kCmdFrame] = frame;
    c[kCmdAlpha] = app.drawAlpha;
    c[kCmdRed] = app.drawRed;
    c[kCmdGreen] = app.drawGreen;
    c[kCmdBlue] = app.drawBlue;
    app.drawCount += kCommandFloats;
}

int MyApp::DrawImg(int slot, float x, float y, float frame) {
    AppendCommand(*this, static_cast<float>(slot), x, y, drawSizeX, drawSizeY, frame);
    return 0;
}

int MyApp::Rect(float x, float y, float w, float h) {
    AppendCommand(*this, kRectKind, x, y, w, h, 0);
    return 0;
}

int MyApp::Oval(float x, float y, float rx, float ry) {
    AppendCommand(*this, kOvalKind, x, y, rx, ry, 0);
    return 0;
}

int MyApp::Text(float x, float y, String s, float ax, float ay) {
    const int len = s.Length();
    if (len == 0) return 0;
    const double r = drawRotation;
    const float cw = static_cast<float>(imageInfo[fontSlot * 3]);
    const float ch = static_cast<float>(imageInfo[fontSlot * 3 + 1]);

    // The alignment width covers the whole string, line breaks included.
    const float width = cw * drawSizeX * static_cast<float>(len - 1);
    const float x0 = x + SinDeg(-r - 90) * width * ax / 2;
    const float y0 = y - CosDeg(-r - 90) * width * ax / 2;
    const float lineHeight = ch * drawSizeY;
    const float x1 = x0 + SinDeg(-r) * lineHeight * (ay - 1) / 2;
    const float y1 = y0 - CosDeg(-r) * lineHeight * (ay - 1) / 2;

    const float advanceX = SinDeg(90 - r) * cw * drawSizeX;
    const float advanceY = CosDeg(90 - r) * cw * drawSizeX;
    const float lineX = SinDeg(180 - r) * lineHeight;
    const float lineY = CosDeg(180 - r) * lineHeight;

    float cursorX = x1;
    float cursorY = y1;
    int line = 0;
    for (int i = 0; i < len; ++i) {
        const int c = s[i];
        if (c == '\\' && i + 1 < len && s[i + 1] == 'n') {
            ++line;
            cursorX = x1 + lineX * static_cast<float>(line);
            cursorY = y1 - lineY * static_cast<float>(line);
            ++i;
            continue;
        }
        if (c >= 33 && c <= 159) DrawImg(fontSlot, cursorX, cursorY, static_cast<float>(c - 32));
        if (c != 0) {
            cursorX += advanceX;
            cursorY -= advanceY;
        }
    }
    return 0;
}

String MyApp::rstr(int v, int w, String pad) {
    const String digits(v);
    // The HUD pads its numbers every update, so the usual widths are built in one buffer, right
    // to left: the digits, then copies of the pad ending where the digits begin.
    constexpr int kMaxBuiltWidth = 64;
    const int padLength = pad.Length();
    if (w > 0 && w <= kMaxBuiltWidth && padLength > 0) {
        String::Char built[kMaxBuiltWidth];
        int at = w;
        for (int k = digits.Length() - 1; k >= 0 && at > 0; --k) built[--at] = digits[k];
        for (int k = padLength - 1; at > 0; k = k > 0 ? k - 1 : padLength - 1) {
            built[--at] = pad[k];
        }
        return String(built, w);
    }
    String padded = pad;
    for (int i = 0; i < w; ++i) padded += pad;
    padded += digits;
    return padded.Slice(-w);
}
