#include "style/swatch.h"

#include "controls/color_combo_box.h"
#include "controls/radio_group.h"
#include "platform/paintbox.h"
#include "print/fill_style.h"

namespace mx {

void PaintSwatch(TPaintBox& box, const TRadioGroup& fill, const TTavelColorComboBox& background,
                 const TTavelColorComboBox& foreground) {
    ApplyFillRule(box.Canvas(), TRect{0, 0, box.width(), box.height()}, fill.ItemIndex(), foreground.ColorValue(),
                  background.ColorValue());
}

} // namespace mx
