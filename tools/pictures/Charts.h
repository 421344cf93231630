#pragma once

#include <QImage>

namespace qern::pictures {

constexpr int BackgroundSize = 380;
constexpr int ChartWidth = 400;
constexpr int ChartHeight = 500;

// The quiet figure behind the body energy balance diagram. Its bottom-left
// pixel carries the background colour, which the diagram treats as clear.
QImage DrawBalanceBackground();

// The course of meridian 1..12 over the body, front and back.
QImage DrawMeridianChart(int meridian);

} // namespace qern::pictures
