#pragma once

// `vantor --check-host HOST`: prints the host's health reply; exit code 0 when
// the host would be accepted, 1 when not, 2 for a wrong call.
int RunHostCheck(int argc, char** argv);
