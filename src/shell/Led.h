#pragma once

#include <QColor>
#include <QWidget>

class QTimer;

namespace qern {

// A round indicator lamp: a colour, on or off, optionally blinking.
class TLed : public QWidget {
    Q_OBJECT
public:
    static inline const QColor Red{230, 30, 30};
    static inline const QColor Green{30, 200, 60};
    static inline const QColor Yellow{250, 210, 20};

    explicit TLed(QWidget* parent = nullptr, const QColor& colour = Green);

    void SetColour(const QColor& colour);
    QColor Colour() const { return colour_; }
    void SetOn(bool on);
    bool On() const { return on_; }
    // Blinks at the given interval; 0 stops blinking and leaves the lamp on.
    void SetBlinking(int intervalMs);
    bool Blinking() const;

    QSize sizeHint() const override { return {18, 18}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor colour_;
    bool on_ = false;
    bool lit_ = false; // the phase of a blink
    QTimer* blink_;
};

} // namespace qern
