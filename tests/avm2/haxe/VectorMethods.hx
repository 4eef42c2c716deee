// flash.Vector's methods on Vector.<int>, Vector.<Number>, Vector.<String> and a vector
// of a class: results that the Flash target alone can express.
import flash.Vector;

class Point {
    public var x:Int;

    public function new(x:Int) {
        this.x = x;
    }

    public function toString():String {
        return "P" + x;
    }
}

class Special extends Point {}

class VectorMethods {
    static function out(line:String) {
        untyped __global__["trace"](line);
    }

    static function className(o:Dynamic):String {
        return untyped __global__["flash.utils.getQualifiedClassName"](o);
    }

    static function attempt(label:String, f:Void->Dynamic) {
        try {
            out(label + " " + f());
        } catch (e:Dynamic) {
            out(label + " threw " + e);
        }
    }

    // Under Flash, a class's __init__ runs with the program's script, before the boot
    // class waits for the stage: the program runs there and main does nothing.
    static function __init__() {
        #if flash
        run();
        #end
    }

    // The error's class and number alone, where the message names an object.
    static function attemptNumber(label:String, f:Void->Dynamic) {
        try {
            out(label + " " + f());
        } catch (e:flash.errors.Error) {
            out(label + " threw " + e.name + " " + e.errorID);
        }
    }

    static function main() {
        #if !flash
        run();
        #end
    }

    static function run() {
        var v = new Vector<Int>();
        out("push " + v.push(3) + " " + v.push(1) + " " + v.push(2) + " -> " + v);
        v.unshift(7);
        out("unshift " + v + " length " + v.length);
        out("pop " + v.pop() + " shift " + v.shift() + " -> " + v);
        v.reverse();
        out("reverse " + v);
        v.sort((a, b) -> a - b);
        out("sort " + v);
        out("indexOf " + v.indexOf(3) + " " + v.indexOf(9) + " " + v.indexOf(1, 1));
        out("lastIndexOf " + v.lastIndexOf(1) + " " + v.lastIndexOf(3, 0));
        var more = new Vector<Int>();
        more.push(10);
        more.push(20);
        out("concat " + v.concat(more) + " original " + v);
        out("slice " + v.slice(1) + " " + v.slice(-1) + " " + v.slice(0, 1));
        var w = v.concat(more);
        out("splice " + w.splice(1, 2) + " leaves " + w);
        out("join " + w.join(" and "));
        v.insertAt(1, 5);
        out("insertAt " + v);
        var dynamicV:Dynamic = v;
        out("removeAt " + dynamicV.removeAt(0) + " -> " + v);

        var empty = new Vector<Int>();
        out("empty pop " + empty.pop() + " shift " + empty.shift());
        var emptyFloats = new Vector<Float>();
        out("empty Number pop " + emptyFloats.pop());
        var emptyStrings = new Vector<String>();
        out("empty String pop " + emptyStrings.pop());

        // Elements take the element type: writes convert, defaults are the type's.
        var floats = new Vector<Float>(3);
        out("Number defaults " + floats);
        var ints = new Vector<Int>(2);
        var anyValue:Dynamic = "12";
        ints[0] = anyValue;
        anyValue = 7.9;
        ints[1] = anyValue;
        out("int conversion " + ints);
        var strings = new Vector<String>(2);
        out("String defaults " + strings);

        var fixed = new Vector<Int>(2, true);
        attempt("fixed push", () -> fixed.push(1));
        attempt("fixed length", () -> fixed.length = 5);
        attempt("fixed write at length", () -> fixed[2] = 1);
        fixed.fixed = false;
        fixed[2] = 4;
        out("unfixed write at length " + fixed + " fixed " + fixed.fixed);
        attempt("read past the end", () -> fixed[3]);
        attempt("write past the end", () -> fixed[9] = 1);
        fixed.length = 1;
        out("shortened " + fixed);

        var points = new Vector<Point>();
        points.push(new Point(1));
        points.push(new Special(2));
        out("points " + points);
        var anything:Dynamic = "not a point";
        attemptNumber("wrong class", () -> points.push(anything));
        var specials = new Vector<Special>();
        specials.push(new Special(3));
        var asPoints:Dynamic = specials;
        attempt("subclass vector concat", () -> points.concat(asPoints));
        var asInts:Dynamic = more;
        attemptNumber("int vector into Number", () -> {
            var n:Vector<Float> = asInts;
            return n;
        });

        var one = new Vector<Int>();
        one.push(4);
        var dynOne:Dynamic = one;
        out("null callback " + dynOne.every(null) + " " + dynOne.some(null) + " ["
            + dynOne.filter(null) + "] [" + dynOne.map(null) + "]");
        var positive = function(x:Dynamic, i:Int, vec:Dynamic) return x > 0;
        var half = function(x:Dynamic, i:Int, vec:Dynamic) return x / 8 + i;
        out("callbacks " + dynOne.every(positive) + " " + dynOne.some(positive) + " ["
            + dynOne.filter(positive) + "] [" + dynOne.map(half) + "]");
        attemptNumber("no callback", () -> dynOne.filter());

        var converted = Vector.ofArray([1.5, 2.25]);
        out("converted " + converted + " " + className(converted));
        var mixed:Array<Dynamic> = [new Point(5), "x"];
        attemptNumber("converted wrong class", () -> {
            var pointsFromArray:Vector<Point> = Vector.ofArray(cast mixed);
            return pointsFromArray;
        });

        var four = Vector.ofArray([4, 1, 3, 2]);
        var dynFour:Dynamic = four;
        out("sort options " + dynFour.sort(16 | 2) + " indexed " + dynFour.sort(8 | 16)
            + " unique " + (Vector.ofArray([2, 1, 2]) : Dynamic).sort(4 | 16));
        out("negative splice count " + four.splice(1, -1) + " leaves " + four);
        var stranger:Dynamic = new Point(9);
        out("indexOf another class " + specials.indexOf(stranger));

        var seen = [];
        for (x in w)
            seen.push(x);
        out("for each " + seen.join(","));
        var names = [];
        var dyn:Dynamic = w;
        for (k in Reflect.fields(dyn))
            names.push(k);
        out("for in " + names.join(","));
        out("class " + className(w));
        out("class " + className(points));
        var byName:Dynamic = untyped __global__["flash.utils.getDefinitionByName"]("__AS3__.vec::Vector.<Point>");
        out("by name " + (byName == Reflect.field(points, "constructor")));
    }
}
