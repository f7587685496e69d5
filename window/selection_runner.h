#pragma once

class CVantorApp;

// Runs the server selection off the GUI thread, so that the splash window can
// appear after 300 ms and paint; message boxes still show on the GUI thread.
int RunServerSelection(CVantorApp& app);
