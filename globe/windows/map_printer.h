#pragma once
// The world map on paper through the report engine's printer: the printer the reports print on
// (the default one until Print Setup chose another), or a PDF file when no printer is installed.
// Kept apart from the map window because the engine's drawing names and the globe's meet here.
#include <functional>
#include <string>

class QPainter;
class QRect;

namespace korval {

// draw paints one page through the painter into the rectangle (device pixels) at the device's
// resolution. askPdfFile names the PDF file (empty cancels). Failures are told to the operator.
void PrintMapOnReportPrinter(const std::function<void(QPainter& painter, const QRect& page, int resolution)>& draw,
                             const std::function<std::string()>& askPdfFile);

} // namespace korval
