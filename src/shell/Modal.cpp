#include "Modal.h"

#include <QDialog>
#include <QEventLoop>

namespace qern {

int RunModal(QDialog& dialog)
{
    dialog.setWindowModality(Qt::ApplicationModal);
    int result = QDialog::Rejected;
    QEventLoop loop;
    QObject::connect(&dialog, &QDialog::finished, &loop, [&](int r) {
        result = r;
        loop.quit();
    });
    dialog.show();
    loop.exec(QEventLoop::DialogExec);
    return result;
}

} // namespace qern
