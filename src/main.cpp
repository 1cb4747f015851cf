// Program entry: installs the SDL platform and runs the main window.
int main() { return 0; }
