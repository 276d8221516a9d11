// The main of the benchmarks of views: the toolkit on the display, the program's styles and icons.
#include "ui/design/theme.h"

#include <adwaita.h>
#include <benchmark/benchmark.h>
#include <gtkmm/init.h>

#include <cstdio>

int main(int argc, char** argv)
{
    if (!gtk_init_check()) {
        fprintf(stderr, "needs a display (run under scripts/headless)\n");
        return 1;
    }
    Gtk::init_gtkmm_internals();
    adw_init();
    kovi::Theme::installResources();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
