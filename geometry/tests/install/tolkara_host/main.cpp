// Allocates a BSTR through the installed libtolkara.so and prints its text.
#include <tolkara/tolkara.h>

#include <cstdio>

int main()
{
    const OLECHAR text[] = {'t', 'o', 'l', 'k', 'a', 'r', 'a'};
    BSTR copy = TolkaraSysAllocStringLen(text, 7);
    if (!copy)
        return 1;
    for (int i = 0; i < 7; ++i)
        std::putchar(static_cast<char>(copy[i]));
    std::putchar('\n');
    TolkaraSysFreeString(copy);
    return 0;
}
