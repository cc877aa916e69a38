// The least a command-line program of Qt Core costs: it loads the libraries
// tessellane-cli loads, makes its application object and ends. Its time
// against cat shows how much of a ratio no work of the program can take away.
#include <QCoreApplication>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    return 0;
}
