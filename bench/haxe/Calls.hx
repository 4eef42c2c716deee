// Method calls on a sealed class.
class Counter {
    var n:Int = 0;
    public function new() {}
    public function add(x:Int):Int {
        n += x;
        return n;
    }
}

class Calls {
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
        var c = new Counter();
        var r = 0;
        for (i in 0...5000000)
            r = c.add(i & 7);
        Out.line(r);
    }
}
