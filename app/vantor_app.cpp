#include "app/vantor_app.h"

CVantorApp::CVantorApp() : m_services(SystemSelectionServices()) {}
CVantorApp::~CVantorApp() = default;
