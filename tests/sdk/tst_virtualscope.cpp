// The specimen renderer answers the camera's settings visibly, and the label's codes are
// well-formed symbols. Plain executable: prints "N passed, N failed".
#include "virtualscope/barcode.h"
#include "virtualscope/renderer.h"

#define ZX_USE_UTF8 1 // Result::text() as UTF-8
#include <ZXing/ReadBarcode.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <numeric>
#include <string>
#include <vector>

using namespace virtualscope;

namespace {

int g_passed = 0;
int g_failed = 0;

void check(bool ok, const std::string &what)
{
    if (ok) {
        ++g_passed;
    } else {
        ++g_failed;
        std::printf("  FAIL %s\n", what.c_str());
    }
}

constexpr int kW = 320, kH = 240;

// A rendered I420 frame's luma plane.
struct Luma
{
    std::vector<uint8_t> y = std::vector<uint8_t>(kW * kH);
    std::vector<uint8_t> u = std::vector<uint8_t>(kW * kH / 4);
    std::vector<uint8_t> v = std::vector<uint8_t>(kW * kH / 4);
    uint8_t at(int x, int yy) const { return y[yy * kW + x]; }
};

Luma render(Renderer &r, const RenderSettings &s, uint32_t frame = 0, double seconds = 0.0)
{
    Luma out;
    uint8_t *planes[3] = {out.y.data(), out.u.data(), out.v.data()};
    const int strides[3] = {kW, kW / 2, kW / 2};
    r.render(s, PixelLayout::I420, kW, kH, seconds, frame, planes, strides);
    return out;
}

double mean(const std::vector<uint8_t> &p)
{
    double sum = 0;
    for (uint8_t v : p)
        sum += v;
    return sum / p.size();
}

// Gradient energy over a window: falls as the picture blurs.
double sharpness(const Luma &l, int x0, int x1)
{
    double sum = 0;
    for (int y = 1; y < kH - 1; ++y)
        for (int x = std::max(1, x0); x < std::min(kW - 1, x1); ++x) {
            const int gx = l.at(x + 1, y) - l.at(x - 1, y), gy = l.at(x, y + 1) - l.at(x, y - 1);
            sum += gx * gx + gy * gy;
        }
    return sum;
}

SpecimenConfig specimen(SpecimenKind kind, FluorescenceStructure s = FluorescenceStructure::Nuclei)
{
    SpecimenConfig c;
    c.kind = kind;
    c.structure = s;
    return c;
}

void settingsChangeThePicture()
{
    const std::pair<std::string, SpecimenConfig> rows[] = {
        {"cells", specimen(SpecimenKind::Cells)},
        {"micrometer", specimen(SpecimenKind::Micrometer)},
        {"label", specimen(SpecimenKind::Label)},
        {"fluorescenceNuclei", specimen(SpecimenKind::Fluorescence, FluorescenceStructure::Nuclei)},
        {"fluorescenceMembranes", specimen(SpecimenKind::Fluorescence, FluorescenceStructure::Membranes)},
        {"fluorescenceFilaments", specimen(SpecimenKind::Fluorescence, FluorescenceStructure::Filaments)},
    };
    for (const auto &[name, config] : rows) {
        Renderer r(config, false);
        RenderSettings base;
        base.exposure = 0.5;
        const Luma nominal = render(r, base);
        check(sharpness(nominal, 0, kW) > 0, name + ": the specimen has structure");

        RenderSettings brighter = base;
        brighter.exposure = 1.0;
        check(mean(render(r, brighter).y) > mean(nominal.y) + 3, name + ": exposure raises the mean");

        RenderSettings gained = base;
        gained.gain = 2.0;
        check(mean(render(r, gained).y) > mean(nominal.y) + 3, name + ": gain raises the mean");

        RenderSettings dim = base;
        for (double &l : dim.lights)
            l = 0.3;
        check(mean(render(r, dim).y) < mean(nominal.y) - 3, name + ": dimmer lights darken");

        RenderSettings defocused = base;
        defocused.focusOffset = 150;
        check(sharpness(render(r, defocused), 0, kW) < 0.5 * sharpness(nominal, 0, kW),
              name + ": focus away from the specimen blurs");

        // Mirror: column x of the mirrored picture is column W-1-x of the plain one (noise aside).
        RenderSettings mirrored = base;
        mirrored.mirror = true;
        const Luma m = render(r, mirrored);
        double diff = 0, diffToSelf = 0;
        for (int y = 0; y < kH; ++y)
            for (int x = 0; x < kW; ++x) {
                diff += std::abs(m.at(x, y) - nominal.at(kW - 1 - x, y));
                diffToSelf += std::abs(m.at(x, y) - nominal.at(x, y));
            }
        check(diff / (kW * kH) < 2.5 && diff < diffToSelf, name + ": mirror reverses the rows");
    }
}

void gainRaisesNoise()
{
    Renderer r(specimen(SpecimenKind::Micrometer), false);
    auto frameDifference = [&](double gain, double exposure) {
        RenderSettings s;
        s.gain = gain;
        s.exposure = exposure;
        const Luma a = render(r, s, 1), b = render(r, s, 2);
        double sum = 0;
        for (size_t i = 0; i < a.y.size(); ++i)
            sum += std::abs(a.y[i] - b.y[i]);
        return sum / a.y.size();
    };
    // Same brightness reached by gain instead of exposure: more noise between frames.
    check(frameDifference(8.0, 0.1) > 2.0 * frameDifference(1.0, 0.8), "gain raises the noise between frames");
}

void depthVariesAcrossTheField()
{
    Renderer r(specimen(SpecimenKind::Cells), false);
    RenderSettings s;
    render(r, s); // builds the specimen
    const double left = r.inFocusOffsetAt(s, 0.1, 0.5), right = r.inFocusOffsetAt(s, 0.9, 0.5);
    const double top = r.inFocusOffsetAt(s, 0.5, 0.1), bottom = r.inFocusOffsetAt(s, 0.5, 0.9);
    check(std::abs(left - right) + std::abs(top - bottom) > 8.0, "the in-focus position varies across the field");
    // Focusing on the left edge makes it sharper than focusing on the right edge does.
    RenderSettings atLeft = s, atRight = s;
    atLeft.focusOffset = left;
    atRight.focusOffset = right;
    const Luma l = render(r, atLeft), rr = render(r, atRight);
    check(sharpness(l, 0, kW / 5) > sharpness(rr, 0, kW / 5) || std::abs(left - right) < 5,
          "the left edge is sharpest at its own focus");
}

void colourControls()
{
    Renderer r(specimen(SpecimenKind::Cells), false);
    RenderSettings s;
    const Luma plain = render(r, s);
    RenderSettings grey = s;
    grey.saturation = 0;
    const Luma g = render(r, grey);
    bool neutral = true;
    for (size_t i = 0; i < g.u.size(); ++i)
        neutral = neutral && std::abs(g.u[i] - 128) <= 1 && std::abs(g.v[i] - 128) <= 1;
    check(neutral, "saturation 0 gives grey");

    RenderSettings red = s;
    red.wbGains[0] = 1.8;
    check(mean(render(r, red).v) > mean(plain.v) + 3, "a red gain raises Cr");

    RenderSettings hue = s;
    hue.hueDegrees = 90;
    check(std::abs(mean(render(r, hue).u) - mean(plain.u)) > 1.0, "hue moves the chroma");

    RenderSettings contrast = s;
    contrast.exposure = 0.6;
    contrast.contrast = 2.0;
    auto spread = [](const Luma &l) {
        const double m = mean(l.y);
        double sum = 0;
        for (uint8_t v : l.y)
            sum += (v - m) * (v - m);
        return std::sqrt(sum / l.y.size());
    };
    RenderSettings flat = contrast;
    flat.contrast = 1.0;
    check(spread(render(r, contrast)) > 1.3 * spread(render(r, flat)), "contrast widens the spread");

    RenderSettings gamma = s;
    gamma.exposure = 0.4;
    const double darkMean = mean(render(r, gamma).y);
    gamma.gamma = 2.0;
    check(mean(render(r, gamma).y) > darkMean + 5, "gamma above 1 lifts the mid-tones");

    RenderSettings sharp = s;
    sharp.sharpness = 1.0;
    check(sharpness(render(r, sharp), 0, kW) > 1.2 * sharpness(plain, 0, kW), "sharpness raises edge energy");

    RenderSettings zoom = s;
    zoom.digitalZoom = 3.0;
    check(sharpness(render(r, zoom), 0, kW) < sharpness(plain, 0, kW),
          "digital zoom magnifies (less detail per pixel)");
}

void micrometerTicksFollowThePitch()
{
    SpecimenConfig c = specimen(SpecimenKind::Micrometer);
    c.micronsPerPixel = 1.0; // ticks every 10 pixels
    Renderer r(c, false);
    RenderSettings s;
    render(r, s);
    s.focusOffset = r.inFocusOffsetAt(s, 0.5, 0.5);
    const Luma l = render(r, s);
    // A row just above the baseline crosses only the ticks: its dark local minima.
    const int y = kH / 2 - 6;
    const double rowMean = std::accumulate(&l.y[y * kW], &l.y[y * kW] + kW, 0.0) / kW;
    std::vector<int> dark;
    for (int x = 1; x + 1 < kW; ++x)
        if (l.at(x, y) < rowMean - 30 && l.at(x, y) < l.at(x - 1, y) && l.at(x, y) <= l.at(x + 1, y))
            dark.push_back(x);
    bool even = dark.size() >= 20;
    for (size_t i = 1; i < dark.size(); ++i)
        even = even && std::abs(dark[i] - dark[i - 1] - 10) <= 1;
    check(even, "micrometer ticks lie 10 um apart");
}

void driftMovesSlowly()
{
    Renderer r(specimen(SpecimenKind::Cells), true);
    RenderSettings s;
    const Luma frames[2] = {render(r, s, 0, 5.0), render(r, s, 0, 6.0)};
    // The second frame is the first shifted by a few pixels: find the shift.
    int best = 1 << 30, bestDx = 99, bestDy = 99;
    for (int dy = -24; dy <= 24; dy += 2)
        for (int dx = -24; dx <= 24; dx += 2) {
            long sum = 0;
            for (int y = 30; y < kH - 30; y += 2)
                for (int x = 30; x < kW - 30; x += 2)
                    sum += std::abs(frames[1].at(x, y) - frames[0].at(x + dx, y + dy));
            if (sum < best) {
                best = static_cast<int>(sum);
                bestDx = dx;
                bestDy = dy;
            }
        }
    check((bestDx != 0 || bestDy != 0) && std::abs(bestDx) <= 20 && std::abs(bestDy) <= 20,
          "drift shifts the field by a few pixels a second");
}

// ---- QR and Code 128 --------------------------------------------------------------

// What a decoder does without: version choice, timing patterns, the top-left format word, the
// dark module. The rest (finders, error correction, Code 128 widths and check symbol) is proved
// by decoding below.
void qrSymbolsAreWellFormed()
{
    struct Row
    {
        const char *name;
        std::string text;
        int version;
    };
    const Row rows[] = {{"short", "HELLO", 1},
                        {"v1Full", std::string(14, 'a'), 1},
                        {"v2", std::string(15, 'a'), 2},
                        {"v7VersionInfo", std::string(120, 'x'), 7},
                        {"v10", std::string(200, 'z'), 10},
                        {"tooLong", std::string(214, 'z'), 0}};
    for (const Row &row : rows) {
        const QrCode qr = encodeQr(row.text);
        const std::string name = std::string("qr ") + row.name;
        check(qr.version == row.version, name + ": version");
        if (qr.version == 0)
            continue;
        check(qr.size == 4 * qr.version + 17, name + ": size");
        bool timing = true;
        for (int i = 8; i < qr.size - 8; ++i)
            timing = timing && qr.dark(i, 6) == (i % 2 == 0) && qr.dark(6, i) == (i % 2 == 0);
        check(timing, name + ": timing patterns");
        // Format word around the top-left finder, read back and unmasked: level M, the mask used.
        uint32_t bits = 0;
        for (int i = 0; i <= 5; ++i)
            bits |= static_cast<uint32_t>(qr.dark(8, i)) << i;
        bits |= static_cast<uint32_t>(qr.dark(8, 7)) << 6;
        bits |= static_cast<uint32_t>(qr.dark(8, 8)) << 7;
        bits |= static_cast<uint32_t>(qr.dark(7, 8)) << 8;
        for (int i = 9; i < 15; ++i)
            bits |= static_cast<uint32_t>(qr.dark(14 - i, 8)) << i;
        bits ^= 0x5412;
        check((bits >> 13) == 0 && static_cast<int>((bits >> 10) & 7) == qr.mask, name + ": format word");
        uint32_t rem = bits; // BCH(15,5): the whole word is a multiple of the generator
        for (int i = 14; i >= 10; --i)
            if (rem & (1u << i))
                rem ^= 0x537u << (i - 10);
        check(rem == 0, name + ": format word check bits");
        check(qr.dark(8, qr.size - 8), name + ": dark module");
    }
}

// A change of settings rolls down a large picture in bands within the update budget; the
// first frame already shows it in its band, and the settled picture is the one a fresh
// renderer draws at once.
void changesRollInWithinTheBudget()
{
    struct Row
    {
        const char *name;
        void (*change)(RenderSettings &, int frame);
        int changingFrames; // frames on which the control moves again
    };
    const Row rows[] = {
        {"exposure", [](RenderSettings &s, int) { s.exposure = 1.0; }, 1},
        {"focus", [](RenderSettings &s, int) { s.focusOffset = 120; }, 1},
        {"zoomAndMirror",
         [](RenderSettings &s, int) {
             s.opticalZoom = 1.7;
             s.mirror = true;
         },
         1},
        {"focusTurnedEveryFrame", [](RenderSettings &s, int f) { s.focusOffset = 10.0 * f; }, 5},
    };
    const int budgetRows = 40;
    for (const Row &row : rows) {
        const std::string name = std::string("rolling update ") + row.name;
        Renderer r(specimen(SpecimenKind::Cells), false);
        r.setUpdateBudget(kW * budgetRows);
        RenderSettings s;
        s.exposure = 0.5;
        const Luma before = render(r, s, 7);
        check(r.settled(), name + ": a new size is built at once");

        int frames = 0;
        Luma first, last;
        do {
            if (frames < row.changingFrames)
                row.change(s, frames + 1);
            last = render(r, s, 7);
            if (frames == 0)
                first = last;
            ++frames;
        } while (!r.settled() && frames < 100);
        check(frames == row.changingFrames - 1 + kH / budgetRows, name + ": settles once every row was rebuilt");
        int changedRows = 0;
        for (int y = 0; y < kH; ++y)
            changedRows += !std::equal(&first.y[y * kW], &first.y[y * kW] + kW, &before.y[y * kW]);
        check(changedRows > 0 && changedRows <= budgetRows, name + ": the first frame shows the change in one band");

        Renderer fresh(specimen(SpecimenKind::Cells), false);
        const Luma expected = render(fresh, s, 7);
        check(last.y == expected.y && last.u == expected.u && last.v == expected.v,
              name + ": the settled picture equals a full rebuild");
    }
}

// ---- label codes through a real decoder ------------------------------------------------

// Decodes the single code of the given format in a grey picture.
std::string decode(const std::vector<uint8_t> &grey, int width, int height, ZXing::BarcodeFormat format)
{
    ZXing::DecodeHints hints;
    hints.setFormats(format);
    hints.setTryHarder(true);
    const ZXing::Result result =
        ZXing::ReadBarcode(ZXing::ImageView(grey.data(), width, height, ZXing::ImageFormat::Lum), hints);
    return result.isValid() ? result.text() : std::string("<none>");
}

void encodersDecode()
{
    const std::string qrTexts[] = {"HELLO", "LUMORA SLIDE 0001",
                                   "lower case, digits 0123456789 and $%*+-./:", std::string(120, 'x') + "END",
                                   std::string(190, 'z') + "0123456789"};
    for (const std::string &text : qrTexts) {
        const QrCode qr = encodeQr(text);
        const int scale = 4, quiet = 4, side = (qr.size + 2 * quiet) * scale;
        std::vector<uint8_t> image(static_cast<size_t>(side) * side, 255);
        for (int y = 0; y < side; ++y)
            for (int x = 0; x < side; ++x) {
                const int mx = x / scale - quiet, my = y / scale - quiet;
                if (mx >= 0 && my >= 0 && mx < qr.size && my < qr.size && qr.dark(mx, my))
                    image[static_cast<size_t>(y) * side + x] = 0;
            }
        check(decode(image, side, side, ZXing::BarcodeFormat::QRCode) == text,
              "QR of " + std::to_string(text.size()) + " bytes (version " + std::to_string(qr.version) + ") decodes");
    }
    const std::string barTexts[] = {"SLIDE-0001", "PJJ123C", "Hello, World! {~}", " spaces and `quotes'"};
    for (const std::string &text : barTexts) {
        const std::vector<uint8_t> widths = encodeCode128(text);
        const int scale = 2, quiet = 12, height = 40;
        std::vector<uint8_t> row;
        row.assign(quiet * scale, 255);
        for (size_t i = 0; i < widths.size(); ++i)
            row.insert(row.end(), widths[i] * scale, i % 2 == 0 ? 0 : 255);
        row.insert(row.end(), quiet * scale, 255);
        std::vector<uint8_t> image;
        for (int y = 0; y < height; ++y)
            image.insert(image.end(), row.begin(), row.end());
        check(decode(image, static_cast<int>(row.size()), height, ZXing::BarcodeFormat::Code128) == text,
              "Code 128 of \"" + text + "\" decodes");
    }
    check(encodeCode128("tab\there").empty(), "code 128: control characters are refused");
}

// The label specimen as the camera shows it: both codes read back with their texts.
void labelSpecimenDecodes()
{
    struct Row
    {
        const char *name;
        std::string qr, barcode;
        PixelLayout layout;
    };
    const Row rows[] = {
        {"defaultTextsI420", "LUMORA SLIDE 0001", "SLIDE-0001", PixelLayout::I420},
        {"otherTextsRgb", "LOT 42/B; exp 2030-01 https://lumora.test/s/42", "LOT-42B", PixelLayout::RGB24}};
    const int w = 1280, h = 960;
    for (const Row &row : rows) {
        SpecimenConfig c = specimen(SpecimenKind::Label);
        c.qrText = row.qr;
        c.barcodeText = row.barcode;
        Renderer r(c, false);
        RenderSettings s;
        std::vector<uint8_t> frame(static_cast<size_t>(w) * h * 3);
        uint8_t *planes[3] = {frame.data(), frame.data() + w * h, frame.data() + w * h * 5 / 4};
        const bool packed = row.layout != PixelLayout::I420;
        const int strides[3] = {packed ? w * 3 : w, w / 2, w / 2};
        r.render(s, row.layout, w, h, 0.0, 0, planes, strides);
        s.focusOffset = r.inFocusOffsetAt(s, 0.5, 0.5);
        r.render(s, row.layout, w, h, 0.0, 1, planes, strides);
        std::vector<uint8_t> grey(static_cast<size_t>(w) * h);
        for (size_t i = 0; i < grey.size(); ++i)
            grey[i] =
                packed ? static_cast<uint8_t>((frame[i * 3] + 2 * frame[i * 3 + 1] + frame[i * 3 + 2]) / 4) : frame[i];
        const std::string name = std::string("label ") + row.name;
        check(decode(grey, w, h, ZXing::BarcodeFormat::QRCode) == row.qr, name + ": QR text");
        check(decode(grey, w, h, ZXing::BarcodeFormat::Code128) == row.barcode, name + ": Code 128 text");
    }
}

} // namespace

int main()
{
    settingsChangeThePicture();
    gainRaisesNoise();
    depthVariesAcrossTheField();
    colourControls();
    micrometerTicksFollowThePitch();
    driftMovesSlowly();
    qrSymbolsAreWellFormed();
    changesRollInWithinTheBudget();
    encodersDecode();
    labelSpecimenDecodes();
    std::printf("%d passed, %d failed\n", g_passed, g_failed);
    return g_failed == 0 ? 0 : 1;
}
