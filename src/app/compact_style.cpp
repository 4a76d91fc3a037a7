#include "app/compact_style.h"

#include <algorithm>

int CompactStyle::pixelMetric(PixelMetric metric, const QStyleOption* option,
                              const QWidget* widget) const {
    if (metric == PM_CheckBoxLabelSpacing || metric == PM_RadioButtonLabelSpacing) {
        return std::min(kLabelSpacing, QProxyStyle::pixelMetric(metric, option, widget));
    }
    return QProxyStyle::pixelMetric(metric, option, widget);
}
