#include "reporting/report_basics.h"

#include <algorithm>
#include <cstdio>

namespace korval {

namespace {

TReportTextHook& textHook()
{
    static TReportTextHook hook;
    return hook;
}
TReportMessageHandler& messageHandler()
{
    static TReportMessageHandler handler;
    return handler;
}
TReportTraceHandler& traceHandler()
{
    static TReportTraceHandler handler;
    return handler;
}
TProcessMessagesHook& processHook()
{
    static TProcessMessagesHook hook;
    return hook;
}

} // namespace

TReportTextHook SetReportTextHook(TReportTextHook hook)
{
    std::swap(textHook(), hook);
    return hook;
}

std::string ReportText(const std::string& text)
{
    return textHook() ? textHook()(text) : text;
}

void RaiseReportError(const std::string& message)
{
    throw EReportError(message);
}

void RaiseReportText(const std::string& text)
{
    RaiseReportError(ReportText(text));
}

TReportMessageHandler SetReportMessageHandler(TReportMessageHandler handler)
{
    std::swap(messageHandler(), handler);
    return handler;
}

void ShowReportError(const std::string& text)
{
    const std::string shown = ReportText(text);
    if (messageHandler())
        messageHandler()(shown);
    else
        std::fprintf(stderr, "korval: %s\n", shown.c_str());
}

TReportTraceHandler SetReportTraceHandler(TReportTraceHandler handler)
{
    std::swap(traceHandler(), handler);
    return handler;
}

void ReportTrace(const std::string& text)
{
    if (traceHandler())
        traceHandler()(text);
    else
        std::fprintf(stderr, "korval report: %s\n", text.c_str());
}

TProcessMessagesHook SetProcessMessagesHook(TProcessMessagesHook hook)
{
    std::swap(processHook(), hook);
    return hook;
}

void ProcessReportMessages()
{
    if (processHook())
        processHook()();
}

TColor ColorToRGB(TColor color)
{
    if ((color & 0xFF000000u) != 0x80000000u)
        return color & 0x00FFFFFFu;
    // The standard desktop scheme, indexed by the system colour number.
    static constexpr TColor kSystem[] = {
        RGB(192, 192, 192), RGB(0, 128, 128),   RGB(0, 0, 128),     RGB(128, 128, 128),
        RGB(192, 192, 192), RGB(255, 255, 255), RGB(0, 0, 0),       RGB(0, 0, 0),
        RGB(0, 0, 0),       RGB(255, 255, 255), RGB(192, 192, 192), RGB(192, 192, 192),
        RGB(128, 128, 128), RGB(0, 0, 128),     RGB(255, 255, 255), RGB(192, 192, 192),
        RGB(128, 128, 128), RGB(128, 128, 128), RGB(0, 0, 0),       RGB(192, 192, 192),
        RGB(255, 255, 255), RGB(0, 0, 0),       RGB(192, 192, 192), RGB(0, 0, 0),
        RGB(255, 255, 225)};
    const unsigned index = color & 0xFF;
    return index < std::size(kSystem) ? kSystem[index] : clBlack;
}

TColor ShadeToColor(TColor color, int percent)
{
    const int p = 100 - std::clamp(percent, 0, 100);
    const TColor rgb = ColorToRGB(color);
    auto mix = [p](int c) { return c + p * (255 - c) / 100; };
    return RGB(mix(GetRValue(rgb)), mix(GetGValue(rgb)), mix(GetBValue(rgb)));
}

void TUnitsScale::SetUnits(TPrintUnits units)
{
    Units = units;
    switch (units) {
    case unInch: Factor = 1.0; break;
    case unMM: Factor = 25.4; break;
    case unCM: Factor = 2.54; break;
    case unPoint: Factor = 72.0; break;
    case unUser: break;
    }
}

void TUnitsScale::SetFactor(double factor)
{
    if (factor <= 0)
        return;
    Factor = factor;
    Units = factor == 1.0 ? unInch : factor == 25.4 ? unMM : factor == 2.54 ? unCM : factor == 72.0 ? unPoint : unUser;
}

} // namespace korval
