#pragma once
// The PSK31 terminal: the received text of one or two channels, a tuning display (spectrum,
// waterfall, level meter), the text to send and the PSK31 function keys, over the sound-card
// modem (TPskCore). The modem reports from its own thread; every report is carried over to the
// window's thread before it touches the window, and reports that come while the window is not
// running are dropped.
#include <QImage>
#include <QWidget>

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "station/psk31/psk_core.h"

class QAction;
class QLabel;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QSplitter;

namespace korval {

class TButtonFrame;
class TPskDialog;
class TQSOForm;

// The audio span shown: full 100..3200 Hz, or +-999 / +-499 Hz around the receive frequency
// (rounded to 10 Hz, kept inside the full span).
struct TPskSpan {
    int lowHz = 100, highHz = 3200;
    int firstBin = 0, lastBin = 0;
};
TPskSpan PskDisplaySpan(int zoom, int rxHz);
// The waterfall's colours: black, blue, cyan, yellow, white in four equal ramps; alternate
// runs the ramps over 128 entries twice.
std::array<unsigned, 256> PskWaterfallPalette(bool alternate);

// One of the three tuning displays; the window paints it and takes its clicks.
class TPskView : public QWidget {
    Q_OBJECT
public:
    explicit TPskView(QWidget* parent = nullptr) : QWidget(parent) {}
    std::function<void(QPainter&)> OnPaint;
    std::function<void(QMouseEvent*)> OnClick;

protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
};

class TPSK31Window : public QWidget {
    Q_OBJECT
public:
    // core: the modem (the real one unless a test scripts it).
    explicit TPSK31Window(QWidget* owner = nullptr, std::unique_ptr<TPskCore> core = {});
    ~TPSK31Window() override;
    // How the window finds the QSO window (callsigns, Enter QSO, macros, marker labels).
    static void SetQsoWindowProvider(std::function<TQSOForm*()> provider);

    // Starts the sound card and the receiver (done at the first show).
    void Start();
    bool Running() const { return running_; }
    TPskCore& Core() { return *core_; }

    // The modem's reports, in the window's thread.
    void DisplayData(int rxHz, int level);
    void RxChar(int ch, int channel);
    void TxStatus(int status);
    void Imd(int dB, int channel);
    void ClockError(int ppm, int channel);

    // The main window's notifications (WM_USER + 3 window messages, or called): 1 rebuilds the
    // function-key bar, 2 also restores the splitter positions from the settings.
    void Notify(int code);

    // Tuning.
    int RxFrequency() const { return rxHz_; }
    int TxFrequency() const { return txHz_; }
    void SetTxFrequency(int hz);
    // A left click at x (of width) on the spectrum or waterfall; ctrl held opens channel 2.
    void TuneClick(int x, int width, bool ctrl);
    // Clicking the meter at y of height sets the squelch threshold.
    void MeterClick(int y, int height);
    // Moves channel 0 to the next signal above (up) or below.
    void PeakSearch(bool up);
    void SetZoom(int zoom);
    const TPskSpan& Span() const { return span_; }
    void SetMarker(int n);
    void GotoMarker(int n);
    int MarkerHz(int n) const { return markers_[static_cast<std::size_t>(n - 1)].hz; }
    QString MarkerLabel(int n) const { return markers_[static_cast<std::size_t>(n - 1)].label; }
    void CenterRadio();
    void MonitorFreq();
    void SetSecondChannel(bool on);
    // Display kind: 0 both, 1 spectrum only, 2 waterfall only.
    void CycleDisplay();
    int DisplayKind() const { return displayKind_; }

    // Transmitting.
    void SetTransmit(bool on);
    // A key typed into the transmit buffer (Qt key and its text).
    void TypeKey(int key, Qt::KeyboardModifiers modifiers, const QString& text);
    void TypeText(const QString& text);
    void SendFunctionKey(int index);
    void SetHolding(bool on);
    bool Holding() const { return holding_; }
    // A double-click in the received text at a character position.
    void TakeCallAt(int position);

    // Menu commands.
    void Settings1Click();
    void EnterQSO1Click();
    void Paste1Click();
    void RxVolume1Click();
    void TxVolume1Click();
    void EditFunctionKeys1Click();

    QPlainTextEdit *Terminal = nullptr, *Channel2 = nullptr, *TxBuf = nullptr;
    QSplitter *OvcSplitter1 = nullptr, *OvcSplitter2 = nullptr, *OvcSplitter3 = nullptr;
    std::array<QLabel*, 5> StatusBar {};
    TPskView *MeterDisplay = nullptr, *SpectrumDisplay = nullptr, *WaterFallDisplay = nullptr;
    QPushButton *TxBtn = nullptr, *DisplayBtn = nullptr, *Rewind = nullptr;
    TButtonFrame* ButtonFrame = nullptr;
    QMenu *TerminalPopup = nullptr, *TxBufPopup = nullptr, *SpectrumPopUp = nullptr, *FormPopUp = nullptr,
          *Chan2PopUp = nullptr;
    QAction *HoldText1 = nullptr, *StopTransmission1 = nullptr, *StartTransmission1 = nullptr,
            *EnterQSO1 = nullptr, *CenterRadio1 = nullptr;
    TPskDialog* Dialog() const { return dialog_; }

signals:
    // Tells the main window the terminal opened (code 2); the main window answers with its own
    // notifications to this window.
    void notifyMainWindow(int code);

protected:
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    bool event(QEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    class TEvents;
    void BuildControls();
    void BuildMenus();
    void RestoreSplitters();
    void StoreSplitters();
    void ShowFrequencies();
    void ShowDisplays();
    void Stop();
    // Channel 0 to hz (capture as the modem takes it); a move of 50 Hz or more starts a line.
    void TuneTo(int hz, int capture);
    void NewLine();
    void AppendTo(QPlainTextEdit* edit, int ch);
    void Key(bool on);
    void UpdateCaption();
    void PaintSpectrum(QPainter& p);
    void PaintWaterfall(QPainter& p);
    void PaintMeter(QPainter& p);
    void PaintMarkers(QPainter& p, int width, int height);

    std::unique_ptr<TPskCore> core_;
    std::unique_ptr<TEvents> events_;
    bool running_ = false, started_ = false;
    int rxHz_ = 1500, txHz_ = 1500;
    bool holding_ = false;
    QString held_;
    bool secondChannel_ = false;
    int displayKind_ = 1;
    int zoom_ = 1;
    TPskSpan span_;
    std::vector<int> fft_;
    std::array<int, 2 * PskVectorCount> vectors_ {};
    int level_ = 0;
    bool overload_ = false;
    QImage waterfall_;
    struct TMarker {
        int hz = 0;
        QString label;
    };
    std::array<TMarker, 2> markers_;
    TPskDialog* dialog_ = nullptr;
};

} // namespace korval
