#pragma once

#include <QObject>
#include <QString>

#include <memory>
#include <optional>

class QSystemTrayIcon;

namespace qern {

// The tray icon of the whole run: on-line / off-line icon and hint, and
// 10-second balloons. Its state is kept here whether or not the desktop has a
// tray; the platform icon exists only after Attach() on a desktop that has one.
class TrayIcon : public QObject {
    Q_OBJECT
public:
    enum class BalloonIcon { Information, Error };
    struct Balloon {
        QString Title;
        QString Text;
        BalloonIcon Icon = BalloonIcon::Information;
    };
    static constexpr int BalloonMs = 10000;

    TrayIcon();
    ~TrayIcon() override;

    void Attach();
    void Detach();
    bool Attached() const { return icon_ != nullptr; }

    void SetOnline(bool online);
    bool Online() const { return online_; }
    QString Hint() const;

    void ShowBalloon(const QString& text, BalloonIcon icon);
    void HideBalloon();
    // The balloon last shown and not hidden since.
    const std::optional<Balloon>& ShownBalloon() const { return balloon_; }

Q_SIGNALS:
    void Activated();

private:
    void refreshIcon();

    bool online_ = false;
    std::optional<Balloon> balloon_;
    std::unique_ptr<QSystemTrayIcon> icon_;
};

} // namespace qern
