#include "app/lumo_app.h"

int main(int argc, char** argv) {
    CLumoApp app(argc, argv);
    if (!app.InitInstance()) {
        return app.ExitCode();
    }
    return app.exec();
}
