// The synthetic specimen under the virtual microscope: a base picture rendered once per
// configuration and size, kept at a few blur levels, with a depth profile across the field.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace virtualscope {

enum class SpecimenKind { Cells, Micrometer, Label, Fluorescence };
enum class FluorescenceStructure { Nuclei, Membranes, Filaments };

// What lies on the stage. Lengths are in micrometres of the specimen.
struct SpecimenConfig
{
    SpecimenKind kind = SpecimenKind::Cells;
    FluorescenceStructure structure = FluorescenceStructure::Nuclei;
    uint32_t seed = 1;
    double micronsPerPixel = 0.5;             // size of a base-picture pixel on the specimen
    std::string qrText = "LUMORA SLIDE 0001"; // "label": text of the QR code
    std::string barcodeText = "SLIDE-0001";   // "label": text of the Code 128 barcode

    bool operator==(const SpecimenConfig &o) const
    {
        return kind == o.kind && structure == o.structure && seed == o.seed && micronsPerPixel == o.micronsPerPixel &&
               qrText == o.qrText && barcodeText == o.barcodeText;
    }
};

// Parses "cells", "micrometer", "label", "fluorescence"; false for anything else.
bool parseSpecimenKind(const std::string &text, SpecimenKind *kind);
// Parses "nuclei", "membranes", "filaments"; false for anything else.
bool parseFluorescenceStructure(const std::string &text, FluorescenceStructure *structure);

// An immutable rendered specimen. Pixels are packed R, G, B; level 0 is sharp, each
// further level is blurred by levelRadius(level) pixels.
class Specimen
{
public:
    static constexpr int kLevels = 5;

    // The specimen of that configuration and size, shared with every other user of it.
    static std::shared_ptr<const Specimen> get(const SpecimenConfig &config, int width, int height);
    // The shared specimen of that configuration and size while some user holds it, else null.
    static std::shared_ptr<const Specimen> find(const SpecimenConfig &config, int width, int height);
    // Shares a specimen built elsewhere; returns the one to use (an equal one shared first wins).
    static std::shared_ptr<const Specimen> share(std::shared_ptr<const Specimen> specimen);

    Specimen(const SpecimenConfig &config, int width, int height);

    int width() const { return m_width; }
    int height() const { return m_height; }
    const SpecimenConfig &config() const { return m_config; }
    const uint8_t *level(int index) const { return m_levels[index].data(); }
    static float levelRadius(int index);
    // Height of the specimen surface at (u, v) in 0..1 of the field, in focus-motor steps
    // around 0; the in-focus focus offset there equals this depth.
    float depthAt(float u, float v) const;
    // Mean luma (0..255) of the sharp picture, for automatic exposure.
    double meanLuma() const { return m_meanLuma; }

private:
    SpecimenConfig m_config;
    int m_width;
    int m_height;
    std::vector<uint8_t> m_levels[kLevels];
    float m_tiltX = 0, m_tiltY = 0, m_bump = 0, m_bumpPhase = 0;
    double m_meanLuma = 0;
};

} // namespace virtualscope
