// Program entry and the main form. (Filled in by the game shell.)
#ifndef ORBITA_LIBRARY
int main() { return 0; }
#endif
