// The program each layer is linked into, whole, with only the layers it may use: it is never
// run; that it links is the check.
int main() {
  return 0;
}
