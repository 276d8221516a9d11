#pragma once

namespace Gtk {
class Image;
}

namespace kovi {

// The product logo ("KoviLogo") from the resource bundle, as a managed image of `size` pixels.
Gtk::Image* makeLogoImage(int size);

} // namespace kovi
