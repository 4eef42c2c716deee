// The sieve of Eratosthenes over a typed vector.
class Sieve {
    static function main() {
        var n = 2000000;
        var composite = new haxe.ds.Vector<Bool>(n + 1);
        for (i in 0...n + 1)
            composite[i] = false;
        var count = 0;
        for (i in 2...n + 1) {
            if (!composite[i]) {
                count++;
                var j = i * 2;
                while (j <= n) {
                    composite[j] = true;
                    j += i;
                }
            }
        }
        Out.line(count);
    }
}
