#pragma once
// The swatch of the overprint style: the whole paint box filled by the fill
// rule with the style's three controls read at the moment of painting.
namespace mx {

class TPaintBox;
class TRadioGroup;
class TTavelColorComboBox;

void PaintSwatch(TPaintBox& box, const TRadioGroup& fill, const TTavelColorComboBox& background,
                 const TTavelColorComboBox& foreground);

} // namespace mx
