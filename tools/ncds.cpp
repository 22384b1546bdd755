#include <cstdio>
int main() { std::puts("ncds"); return 0; }
