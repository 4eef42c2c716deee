// A typed integer loop: adds, multiplies, shifts and xors on locals.
class IntLoop {
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
        var s:Int = 0;
        var i:Int = 0;
        while (i < 20000000) {
            s = (s + i * 3) ^ (i >> 1);
            i++;
        }
        Out.line(s);
    }
}
