#include "Tray.h"

#include "Icons.h"
#include "ProductTexts.h"

#include <QSystemTrayIcon>

namespace qern {

TrayIcon::TrayIcon() = default;
TrayIcon::~TrayIcon() = default;

void TrayIcon::Attach()
{
    if (icon_ || !QSystemTrayIcon::isSystemTrayAvailable())
        return;
    icon_ = std::make_unique<QSystemTrayIcon>();
    connect(icon_.get(), &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::DoubleClick)
            Q_EMIT Activated();
    });
    refreshIcon();
    icon_->show();
}

void TrayIcon::Detach() { icon_.reset(); }

QString TrayIcon::Hint() const
{
    const ProductTexts& p = Product();
    return p.CompanyName + QStringLiteral("\r\n") + p.ProductShortName +
           (online_ ? QStringLiteral(" is on-line.") : QStringLiteral(" is off-line !!"));
}

void TrayIcon::SetOnline(bool online)
{
    online_ = online;
    refreshIcon();
}

void TrayIcon::refreshIcon()
{
    if (!icon_)
        return;
    icon_->setIcon(online_ ? OnlineIcon() : OfflineIcon());
    icon_->setToolTip(Hint());
}

void TrayIcon::ShowBalloon(const QString& text, BalloonIcon icon)
{
    balloon_ = Balloon{Product().ProductTitle + QStringLiteral(" Information"), text, icon};
    if (icon_)
        icon_->showMessage(balloon_->Title, text,
                           icon == BalloonIcon::Error ? QSystemTrayIcon::Critical : QSystemTrayIcon::Information,
                           BalloonMs);
}

void TrayIcon::HideBalloon()
{
    // Desktop trays give no way to withdraw a notification; it expires by itself.
    balloon_.reset();
}

} // namespace qern
