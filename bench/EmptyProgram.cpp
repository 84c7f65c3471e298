// Timed for information only: a console program that does nothing and
// imports only what the C runtime needs.
int wmain()
{
    return 0;
}
