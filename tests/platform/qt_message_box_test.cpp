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

    // A question has "はい" and "いいえ"; only "はい" says yes, and Enter alone does not.
    void questionAnswersYesOnlyForYes() {
        const auto answer = [](const char* pressed) {
            QStringList captions;
            QTimer::singleShot(0, [&captions, pressed] {
                auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
                QVERIFY(box != nullptr);
                for (QAbstractButton* button : box->buttons()) captions << button->text();
                if (QLatin1String(pressed) == QLatin1String("Return")) {
                    QTest::keyClick(box, Qt::Key_Return);
                    return;
                }
                for (QAbstractButton* button : box->buttons()) {
                    if (button->text() == QString::fromUtf8(pressed)) {
                        QTest::mouseClick(button, Qt::LeftButton);
                    }
                }
            });
            const bool yes =
                QtMessageBox().ask(nullptr, QStringLiteral("「plot.bmp」は既にあります。"));
            captions.sort();
            return std::make_pair(yes, captions);
        };
        const QStringList both = {QStringLiteral("いいえ"), QStringLiteral("はい")};
        QCOMPARE(answer("はい"), std::make_pair(true, both));
        QCOMPARE(answer("いいえ"), std::make_pair(false, both));
        QCOMPARE(answer("Return").first, false);
    }
};

QTEST_MAIN(QtMessageBoxTest)
#include "qt_message_box_test.moc"
