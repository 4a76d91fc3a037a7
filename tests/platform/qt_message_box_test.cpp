#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "platform/qt_message_box.h"

// The real message box: the program's title, the text, one OK button, and it returns once the
// user has pressed it.
class QtMessageBoxTest : public QObject {
    Q_OBJECT

private slots:
    void titleTextAndOkButton() {
        QString title;
        QString text;
        QString detail;
        QList<QAbstractButton*> buttons;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            QVERIFY(box != nullptr);
            title = box->windowTitle();
            text = box->text();
            detail = box->informativeText();
            buttons = box->buttons();
            QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
        });
        QtMessageBox().show(nullptr, QStringLiteral("データ構造が違います"),
                            QStringLiteral("レコード 2"));
        QCOMPARE(title, QStringLiteral("Quendra"));
        QCOMPARE(text, QStringLiteral("データ構造が違います"));
        QCOMPARE(detail, QStringLiteral("レコード 2"));
        QCOMPARE(buttons.size(), 1);
    }
};

QTEST_MAIN(QtMessageBoxTest)
#include "qt_message_box_test.moc"
