#pragma once
// "Panorama Scan": an S-meter picture of the band around a centre frequency, one bar per kHz,
// swept by the radio; or following the radio, whose frequency becomes the centre. A click on
// the picture shows the frequency under the mouse; a right click tunes the radio there.
#include <QDialog>
#include <QImage>

#include "station/panorama.h"

#include <memory>

class QPushButton;

namespace korval {

class TOvcController;
class TOvcNumericField;

// A picture the window draws into and shows as it is.
class TPanoramaImage : public QWidget {
    Q_OBJECT
public:
    TPanoramaImage(int width, int height, QWidget* parent);
    QImage& Picture() { return image_; }
    QSize sizeHint() const override { return image_.size(); }

signals:
    void pressed(int x, Qt::MouseButton button);
    void released();

protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

private:
    QImage image_;
};

class TPanorama : public QDialog, private TPanoramaHost {
    Q_OBJECT
public:
    static constexpr int ImageHeight = 240, ReadingsWidth = 600, ScalesWidth = 40;

    explicit TPanorama(QWidget* parent = nullptr);
    ~TPanorama() override;

    TPanoramaEngine& Engine() { return *engine_; }
    int RowHeight() const { return rowHeight_; }
    int Baseline() const { return baseline_; }

    TPanoramaImage* IMScales;
    TPanoramaImage* IMReadings;
    QPushButton *FreqButton, *ScanButton, *BtnCancel;
    TOvcNumericField* F_Center;
    QTimer* StepTimer;

protected:
    void showEvent(QShowEvent* e) override;
    void reject() override;

private:
    // TPanoramaHost
    void StartTrigger(int ms) override;
    void StopTrigger() override;
    void DrawBar(int x, std::uint8_t s) override;
    void ShowCenter(double kHz) override;

    void DrawScales();

    TOvcController* controller_;
    std::unique_ptr<TPanoramaEngine> engine_;
    int rowHeight_ = 0;
    int baseline_ = 0;
    bool shown_ = false;
};

} // namespace korval
