/* The version samples are only read, never run. */
int main(void) { return 0; }
