#include "app/control_tips.h"

#include <QHash>
#include <QWidget>

#include "app/threshold_cell.h"
#include "doublestar/area_class.h"
#include "platform/qt_text.h"
#include "plot/camera_preset.h"

namespace {

using Tips = QHash<QString, QString>;

Tips mainWindowTips() {
    Tips tips{
        {QStringLiteral("Frame1"),
         QStringLiteral("カメラを選ぶと、横と縦がそのセンサーの大きさになります。"
                        "横と縦がどのカメラとも合わないときは、どれも選ばれません。")},
        {QStringLiteral("Label1"), QStringLiteral("横: プロットの幅（ピクセル）")},
        {QStringLiteral("Text1"),
         QStringLiteral("横: プロットの幅（ピクセル）。写真や、同じ名前の写真が隣にある"
                        "カタログを選ぶと、その幅になります。")},
        {QStringLiteral("Label2"), QStringLiteral("縦: プロットの高さ（ピクセル）")},
        {QStringLiteral("Text2"),
         QStringLiteral("縦: プロットの高さ（ピクセル）。写真を選ぶと、その高さになります。")},
        {QStringLiteral("Command7"), QStringLiteral("横と縦の数を入れ替えます（縦位置の写真に）")},
        {QStringLiteral("Label13"), QStringLiteral("星の濃度: 描く星の灰色")},
        {QStringLiteral("Text9"),
         QStringLiteral("星の濃度: 描く星の灰色、0（黒）から 255（白）まで")},
        {QStringLiteral("HScroll2"), QStringLiteral("星の濃度を 0 から 255 の間で選びます")},
        {QStringLiteral("Text7"), QStringLiteral("この面積（ピクセル数）以上の星を描き、数えます")},
        {QStringLiteral("Label14"),
         QStringLiteral("左の数 ≦ 星の面積 ＜ 右の数 の星だけを描き、数えます")},
        {QStringLiteral("Text8"), QStringLiteral("この面積（ピクセル数）未満の星を描き、数えます")},
        {QStringLiteral("Command3"),
         QStringLiteral("星のリスト、カタログ、写真を選びます (Ctrl+O)")},
        {QStringLiteral("Label5"),
         QStringLiteral("星の大きさ: 数が大きいほど星を小さく描きます（標準 30）")},
        {QStringLiteral("Text3"),
         QStringLiteral("星の大きさ: 数が大きいほど星を小さく描きます（標準 30、1 未満は警告）")},
        {QStringLiteral("Label4"), QStringLiteral("つまみを左へ: 星を大きく描きます")},
        {QStringLiteral("HScroll1"),
         QStringLiteral("星の大きさを 1 から 60 の間で選びます（左ほど大きく描きます）")},
        {QStringLiteral("Label3"), QStringLiteral("つまみを右へ: 星を小さく描きます")},
        {QStringLiteral("Check1"),
         QStringLiteral("星の縁を、位置と大きさの端数に合わせて淡く描きます")},
        {QStringLiteral("Command9"),
         QStringLiteral("重星処理の窓（判定の基準と数）を表示・非表示にします (Ctrl+D)")},
        {QStringLiteral("Command8"), QStringLiteral("プロットを BMP 画像で保存します (Ctrl+S)")},
        {QStringLiteral("Check2"),
         QStringLiteral("描画の前にプロットを消します。外すと「画面クリア」が現れ、"
                        "描画を重ねられます")},
        {QStringLiteral("Command10"), QStringLiteral("プロットを消します")},
        {QStringLiteral("Command1"),
         QStringLiteral("ファイルの星を読み、単星と重星に分けて描きます (F5)")},
        {QStringLiteral("Command2"), QStringLiteral("Quendra を終了します (Ctrl+Q)")},
        {QStringLiteral("Label11"), QStringLiteral("プロットの左上を等倍で表示しています")},
        {QStringLiteral("Picture1"),
         QStringLiteral("プロットの左上（等倍）。右クリック、メニューキー、Shift+F10 で全体表示・"
                        "星像マップ・コピー・保存・フレーム一覧・夜間モードのメニューを開きます")},
    };
    const auto presets = CameraPreset::all();
    for (std::size_t i = 0; i < presets.size(); ++i) {
        tips.insert(QStringLiteral("Option1(%1)").arg(i),
                    QStringLiteral("%1: 横 %2 × 縦 %3 ピクセル")
                        .arg(qtText(presets[i].caption))
                        .arg(presets[i].width)
                        .arg(presets[i].height));
    }
    return tips;
}

Tips doubleStarWindowTips() {
    Tips tips{
        {QStringLiteral("Label1(0)"), QStringLiteral("星の面積（ピクセル数）のクラス")},
        {QStringLiteral("Label2(0)"), QStringLiteral("最後に完了した描画で、単星と判定した星の数")},
        {QStringLiteral("Label3(0)"), QStringLiteral("最後に完了した描画で、重星と判定した星の数")},
        {QStringLiteral("Label4"),
         QStringLiteral("真円度の上限: 真円度がこの値以下の星は形から重星の候補です")},
        {QStringLiteral("Label5"),
         QStringLiteral("面積比: 面積が 幅 × 高さ × この値 より小さい星は形から重星の候補です")},
        {QStringLiteral("Label6"),
         QStringLiteral("円の占有率: 星の大きさの円が面積のこの割合より小さい星は重星の候補です")},
        {QStringLiteral("Label7"),
         QStringLiteral("放射角補正（度）: 星の向きと中心からの方向の差がこの角度以下なら"
                        "単星とします")},
        {QStringLiteral("Text4"),
         QStringLiteral("放射角補正（度）: 星の向きと中心からの方向の差がこの角度以下なら"
                        "単星とします")},
        {QStringLiteral("Frame1"),
         QStringLiteral("面積比と真円度の二つの条件を両方（AND）または片方（OR）で使います")},
        {QStringLiteral("Option1"), QStringLiteral("面積比と真円度の両方を満たす星を重星の候補に")},
        {QStringLiteral("Option2"),
         QStringLiteral("面積比か真円度の一方でも満たす星を重星の候補に")},
        {QStringLiteral("Command3"), QStringLiteral("判定の基準をファイルから読み込みます")},
        {QStringLiteral("Command4"), QStringLiteral("判定の基準をファイルに保存します")},
        {QStringLiteral("Label8"), QStringLiteral("右のボタンで、レンズに合った基準を入れます")},
        {QStringLiteral("Command1"), QStringLiteral("広角レンズ向けの基準を表に入れます")},
        {QStringLiteral("Command2"), QStringLiteral("望遠レンズ向けの基準を表に入れます")},
    };
    for (const AreaClass& areaClass : AreaClass::all()) {
        const int row = areaClass.index + 1;
        const QString label = qtText(areaClass.label);
        tips.insert(QStringLiteral("Label1(%1)").arg(row),
                    QStringLiteral("面積 %1 ピクセルの星").arg(label));
        tips.insert(QStringLiteral("Label2(%1)").arg(row),
                    QStringLiteral("面積 %1 の単星の数（最後に完了した描画）").arg(label));
        tips.insert(QStringLiteral("Label3(%1)").arg(row),
                    QStringLiteral("面積 %1 の重星の数（最後に完了した描画）").arg(label));
        tips.insert(QStringLiteral("Text1(%1)").arg(row - 1),
                    QStringLiteral("面積 %1 の星の真円度の上限").arg(label));
        tips.insert(QStringLiteral("Text2(%1)").arg(row - 1),
                    QStringLiteral("面積 %1 の星の面積比").arg(label));
        tips.insert(QStringLiteral("Text3(%1)").arg(row - 1),
                    QStringLiteral("面積 %1 の星の円の占有率").arg(label));
    }
    return tips;
}

Tips frameListTips() {
    return {
        {QStringLiteral("FrameSettings"),
         QStringLiteral("選んだフレームを描画した設定（追加したときの両方のウィンドウの設定）")},
        {QStringLiteral("AddFiles"),
         QStringLiteral("星のリスト、カタログ、写真を選んでフレームに加えます（複数選べます）")},
        {QStringLiteral("AddFolder"),
         QStringLiteral("フォルダの読めるファイルを名前の順にすべて加えます"
                        "（rejected フォルダは除きます）")},
        {QStringLiteral("WatchFolder"),
         QStringLiteral("フォルダを監視し、新しいファイルを大きさが 1 秒変わらなくなってから"
                        "加えます。監視中に押すと監視をやめます")},
        {QStringLiteral("Recalculate"),
         QStringLiteral("すべてのフレームを、今の両方のウィンドウの設定で計算し直します")},
        {QStringLiteral("StopAll"), QStringLiteral("待機中と実行中のフレームをすべて止めます")},
        {QStringLiteral("SaveCsv"),
         QStringLiteral("フレームを quendra-plot --summary と同じ列の CSV に保存します")},
        {QStringLiteral("CopyTable"),
         QStringLiteral("表をタブ区切りのテキストでクリップボードに置きます（表計算に貼れます）")},
        {QStringLiteral("LimitFraction"),
         QStringLiteral("重星率（重星 / 星の数）が右の値を超えるフレームを不採用にします")},
        {QStringLiteral("FractionLimit"), QStringLiteral("重星率の上限（0 から 1 まで）")},
        {QStringLiteral("LimitFwhm"),
         QStringLiteral("FWHM（ピクセル）が右の値を超えるフレームを不採用にします")},
        {QStringLiteral("FwhmLimit"), QStringLiteral("FWHM の上限（ピクセル）")},
        {QStringLiteral("RejectByHand"),
         QStringLiteral("選んだフレームを、上限によらず不採用にします")},
        {QStringLiteral("KeepByHand"),
         QStringLiteral("選んだフレームを、上限によらず採用にします")},
        {QStringLiteral("MoveRejected"),
         QStringLiteral("不採用のフレームのファイルを隣の rejected フォルダに移します。"
                        "ファイルを消したり置き換えたりはしません")},
        {QStringLiteral("UndoMove"),
         QStringLiteral("rejected フォルダに移したファイルを元の場所に戻します")},
    };
}

const Tips& tipsOf(const QString& window) {
    static const Tips main = mainWindowTips();
    static const Tips doubleStar = doubleStarWindowTips();
    static const Tips frameList = frameListTips();
    static const Tips none;
    if (window == QLatin1String("Form1")) return main;
    if (window == QLatin1String("Form2")) return doubleStar;
    if (window == QLatin1String("FrameList")) return frameList;
    return none;
}

}  // namespace

QString ControlTips::of(const QString& window, const QString& control) {
    return tipsOf(window).value(control);
}

void ControlTips::apply(QWidget& window) {
    for (QWidget* control : window.findChildren<QWidget*>()) {
        const QString tip = of(window.objectName(), control->objectName());
        if (tip.isEmpty()) continue;
        // A cell's tooltip also tells what it reads as; the cell puts the two together.
        if (auto* cell = dynamic_cast<ThresholdCell*>(control)) {
            cell->setTip(tip);
        } else {
            control->setToolTip(tip);
        }
    }
}
