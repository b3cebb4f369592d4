// A small program without a version resource: the tests give copies of it the version
// resources they need.
int main() { return 0; }
