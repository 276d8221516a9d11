#include "ui/app/drawing_setup.h"
#include "ui/app/kovi_application.h"

#include <glibmm/miscutils.h>

int main(int argc, char** argv)
{
    Glib::set_application_name("Kovi");
    kovi::DrawingSetup::beforeDisplayOpens();
    auto app = kovi::KoviApplication::create();
    return app->run(argc, argv);
}
