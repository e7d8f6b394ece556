// Ferrox16 marks the directory of the outside libraries: the kernel loads
// libSimplexa.so from wherever this library was loaded from.
extern "C" __attribute__((visibility("default"))) const char* Ferrox16Version()
{
    return "16.0";
}
