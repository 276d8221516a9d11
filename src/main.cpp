#include "ui/app/kovi_application.h"

int main(int argc, char** argv)
{
    auto app = kovi::KoviApplication::create();
    return app->run(argc, argv);
}
