// The sieve of Eratosthenes over a typed vector.
class Sieve {
    // Under Flash the program runs from the class's __init__, with its script: Haxe's
    // boot class would wait for a stage before calling main.
    static function __init__() {
        #if flash
        run();
        #end
    }

    static function main() {
        #if !flash
        run();
        #end
    }

    static function run() {
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
