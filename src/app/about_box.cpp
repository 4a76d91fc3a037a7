#include "app/about_box.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QStringList>
#include <QVBoxLayout>

#include "app/version.h"
#include "platform/qt_text.h"
#include "sources/photo/photo_libraries.h"

namespace {

QLabel* addText(QVBoxLayout* layout, const char* name, const QString& text) {
    auto* label = new QLabel(text);
    label->setObjectName(QLatin1String(name));
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(label);
    return label;
}

}  // namespace

AboutBox::AboutBox(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("AboutBox"));
    setWindowTitle(QStringLiteral("Quendra について"));
    auto* layout = new QVBoxLayout(this);
    layout->setSpacing(8);
    QFont title = font();
    title.setPixelSize(18);
    title.setBold(true);
    addText(layout, "AboutName", QStringLiteral("Quendra Ver.") + QLatin1String(kQuendraVersion))
        ->setFont(title);
    addText(layout, "AboutPurpose",
            QStringLiteral("星のリスト、カタログ、写真の星を単星と重星に分けて描き、"
                           "面積のクラスごとに数えます。"));
    addText(layout, "AboutLicence",
            QStringLiteral("ライセンス: GPL-3.0-or-later（GNU 一般公衆利用許諾書 第 3 版以降）\n"
                           "このプログラムは無保証です。"));
    addText(layout, "AboutLibraries", QStringLiteral("使っているライブラリ:\n") + libraries());
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close);
    buttons->button(QDialogButtonBox::Close)->setText(QStringLiteral("閉じる"));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::close);
    layout->addWidget(buttons);
}

QString AboutBox::libraries() {
    QStringList lines{QStringLiteral("Qt %1").arg(QLatin1String(qVersion()))};
    for (const PhotoLibraries::Version& library : PhotoLibraries::versions()) {
        lines << qtText(library.name) + QLatin1Char(' ') + qtText(library.version);
    }
    return lines.join(QLatin1Char('\n'));
}
