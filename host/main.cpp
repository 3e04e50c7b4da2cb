// Process entry; the real start-up sequence replaces this as the host arrives.
int main() { return 0; }
