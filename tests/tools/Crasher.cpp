#include <cstdio>

int main()
{
    std::puts("about to crash");
    std::fflush(stdout);
    volatile int* p = nullptr;
    *p = 1;
    return 0;
}
