#pragma once

#include <QMetaType>
#include <QString>

// Identifier of a drawing property (line colour of circles, decimals of results, ...).
// Its name is also the property's key in the "draw" settings group; the list lives in
// drawproperties.def so that the enum and the key texts cannot drift apart.
enum class DrawProperty : int {
#define DRAW_TOOL_PROPERTY(Tool, Suffix) Tool##Suffix,
#define DRAW_TOOL_PROPERTY_AT(Tool, Suffix, N) Tool##Suffix = N,
#define DRAW_PROPERTY(Name) Name,
#include "drawproperties.def"
};
Q_DECLARE_METATYPE(DrawProperty)

// One past the highest identifier.
constexpr int DrawPropertyCount = int(DrawProperty::DefaultLineWidth) + 1;

// The key text of a property ("LineShowLength" for DrawProperty::LineShowLength); empty for
// a number that names no property.
QString drawPropertyName(DrawProperty property);

// What the table is anchored to: the first identifier of every tool and option block.
namespace DrawPropertyAnchors {
constexpr int at(DrawProperty p)
{
    return int(p);
}
static_assert(at(DrawProperty::PointWidth) == 0 && at(DrawProperty::LineShowLength) == 2);
static_assert(at(DrawProperty::LineTextBorderStyle) == 20);
static_assert(at(DrawProperty::ThreePointLineShowLength) == 21 && at(DrawProperty::ThreePointLineShowDataType) == 23);
static_assert(at(DrawProperty::ThreePointLineColor) == 25, "identifier 24 is a gap");
static_assert(at(DrawProperty::HLineShowLength) == 37 && at(DrawProperty::VLineShowLength) == 56);
static_assert(at(DrawProperty::AnyLineShowLength) == 75 && at(DrawProperty::AnyLineStackedClosingLength) == 76);
static_assert(at(DrawProperty::ParLineShowLength) == 92 && at(DrawProperty::FourPointParLineShowLength) == 108);
static_assert(at(DrawProperty::AnyParLineShowLength) == 124 && at(DrawProperty::AnyParLineShowCumulativeMode) == 129);
static_assert(at(DrawProperty::VerLineShowLength) == 142 && at(DrawProperty::FourPointVerLineShowLength) == 159);
static_assert(at(DrawProperty::AnyVerLineShowLength) == 175);
static_assert(at(DrawProperty::TwoCircleShowRadius) == 192 && at(DrawProperty::FourPointTwoCircleShowRadius) == 212);
static_assert(at(DrawProperty::LineCircleShowRadius) == 232 && at(DrawProperty::CircleCenterLineShowRadius) == 252);
static_assert(at(DrawProperty::RectShowWidth) == 275 && at(DrawProperty::ThreePointRectShowWidth) == 295);
static_assert(at(DrawProperty::PolyShowPerimeter) == 315);
static_assert(at(DrawProperty::CircleShowRadius) == 333 && at(DrawProperty::RadiusCircleShowRadius) == 353);
static_assert(at(DrawProperty::DiameterCircleShowRadius) == 373);
static_assert(at(DrawProperty::TwoPointEllipseShowDiameter) == 393);
static_assert(at(DrawProperty::ThreePointEllipseShowDiameter) == 413);
static_assert(at(DrawProperty::FivePointEllipseShowDiameter) == 433);
static_assert(at(DrawProperty::FourPointConcentricCircleShowRadius) == 453);
static_assert(at(DrawProperty::CenterRadiusConcentricCircleShowRadius) == 473);
static_assert(at(DrawProperty::AnyPointConcentricCircleShowRadius) == 492);
static_assert(at(DrawProperty::ArcShowRadian) == 511 && at(DrawProperty::ArcTextUnderArc) == 523);
static_assert(at(DrawProperty::FourAngleShowAngle) == 530 && at(DrawProperty::ThreeAngleShowAngle) == 545);
static_assert(at(DrawProperty::PositionShowPosition) == 560 && at(DrawProperty::SerialNumberShowNumber) == 572);
static_assert(at(DrawProperty::SerialNumberTextBorderStyle) == 583);
static_assert(at(DrawProperty::MeasureScaleLineWidth) == 584 && at(DrawProperty::MeasureScaleFuseToPic) == 593);
static_assert(at(DrawProperty::CalibrationLineWidth) == 594 && at(DrawProperty::TextColor) == 598);
static_assert(at(DrawProperty::QuickSavePath) == 599);
static_assert(at(DrawProperty::DrawAuxiliaryMarkerInterfaceIndex) == 600);
static_assert(at(DrawProperty::DrawAuxiliaryMarkerFuseToPic) == 614);
static_assert(at(DrawProperty::DrawGridlinesWidth) == 615 && at(DrawProperty::DrawGridLineFuseToPic) == 629);
static_assert(at(DrawProperty::DrawCrossLineWidth) == 630);
static_assert(at(DrawProperty::DrawMarkRectWidth) == 633 && at(DrawProperty::DrawMarkCircleWidth) == 636);
static_assert(at(DrawProperty::DrawMarkArrowWidth) == 639 && at(DrawProperty::DrawMarkAnyLineWidth) == 642);
static_assert(at(DrawProperty::OtherSetAntialiasing) == 645 && at(DrawProperty::GeneralLineWidth) == 651);
static_assert(at(DrawProperty::LText_Width) == 660 && at(DrawProperty::RingDistance1) == 666);
static_assert(at(DrawProperty::SaveType) == 670 && at(DrawProperty::Language) == 673);
static_assert(at(DrawProperty::AutoSaveImage) == 674 && at(DrawProperty::LocalFocusColor) == 676);
static_assert(at(DrawProperty::DefaultTextSize) == 680 && at(DrawProperty::DefaultLineWidth) == 681);
static_assert(DrawPropertyCount == 682);
} // namespace DrawPropertyAnchors
