#pragma once

#include <QProxyStyle>

// The platform's style with a narrower gap between a check box or option button and its
// caption, so that captions such as "オートクリア" fit the small fixed controls whole.
class CompactStyle : public QProxyStyle {
public:
    static constexpr int kLabelSpacing = 4;

    int pixelMetric(PixelMetric metric, const QStyleOption* option = nullptr,
                    const QWidget* widget = nullptr) const override;
};
