// Properties of dynamic objects, by name.
class Dynamics {
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
        var o:Dynamic = {a: 0, b: 1};
        for (i in 0...3000000) {
            o.a = o.a + o.b;
            o.b = i & 3;
        }
        Out.line(o.a);
    }
}
